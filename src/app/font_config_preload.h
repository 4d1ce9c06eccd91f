#pragma once

#include <thread>

// Reads the system's font configuration on a second thread while the toolkit
// opens its connection to the display. The window's first caption needs that
// configuration, and reading it is the longest single step of opening the
// window; the toolkit, asking for it later, finds it read. wait() must return
// before anything measures or draws text. Where fonts are not configured this
// way it does nothing.
class FontConfigPreload {
public:
    FontConfigPreload();
    ~FontConfigPreload();
    FontConfigPreload(const FontConfigPreload&) = delete;
    FontConfigPreload& operator=(const FontConfigPreload&) = delete;

    void wait();

private:
    std::thread m_reader;
};
