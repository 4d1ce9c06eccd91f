#pragma once

#include <clocale>
#include <string>

// Switches the C library to a German locale, whose decimal separator is a
// comma, for the life of the object; ok() says whether one was found. The
// C library of Windows knows the locale by other names than glibc's.
class GermanCLocale {
public:
    GermanCLocale() {
        const char* old = std::setlocale(LC_ALL, nullptr);
        saved_ = old ? old : "C";
        for (const char* name : {"de_DE.UTF-8", "de-DE", "German_Germany.1252"}) {
            if (std::setlocale(LC_ALL, name)) {
                ok_ = true;
                break;
            }
        }
    }
    ~GermanCLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    GermanCLocale(const GermanCLocale&) = delete;
    GermanCLocale& operator=(const GermanCLocale&) = delete;

    bool ok() const { return ok_; }

private:
    std::string saved_;
    bool ok_ = false;
};
