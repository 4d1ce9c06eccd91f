#include "app/font_config_preload.h"

#ifdef CORVALA_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

FontConfigPreload::FontConfigPreload() {
#ifdef CORVALA_FONTCONFIG
#ifdef __GLIBC__
    // The reader's allocations go to the one arena the window is then built
    // in: a second arena would keep the configuration reader's freed
    // buffers resident beside it, and the program has no busy threads that
    // would contend for one.
    mallopt(M_ARENA_MAX, 1);
#endif
    m_reader = std::thread([] { FcInit(); });
#endif
}

FontConfigPreload::~FontConfigPreload() {
    wait();
}

void FontConfigPreload::wait() {
    if (m_reader.joinable())
        m_reader.join();
}
