#include "app/font_config_preload.h"

#ifdef CORVALA_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigPreload::FontConfigPreload() {
#ifdef CORVALA_FONTCONFIG
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
