// The font on Linux: the file and face that fontconfig matches for
// "sans-serif"; none when fontconfig has no configuration or no font at all.
#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>

namespace platform {

FontFile sans_font_file() {
    FontFile found;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return found;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    if (pattern != nullptr) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match != nullptr) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
                found.file = reinterpret_cast<const char*>(path);
            }
            FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

bool font_lookup_is_slow() {
    return true;
}

}  // namespace platform
