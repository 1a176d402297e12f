#include "gfx/bilder.h"

Surface* lpDDSHintergrund = nullptr;
Surface* lpDDSLandschaft = nullptr;
Surface* lpDDSRundenbild[4] = {};
Surface* lpDDSRekordfigur = nullptr;
Surface* lpDDSPatrone = nullptr;
Surface* lpDDSEinschuss = nullptr;
Surface* lpDDSSchrift = nullptr;
Surface* lpDDSSchriftRot = nullptr;
Sprite Sprite_Vorlagen[5] = {};

void Bilder_vergessen() {
    lpDDSHintergrund = nullptr;
    lpDDSLandschaft = nullptr;
    for (Surface*& bild : lpDDSRundenbild) {
        bild = nullptr;
    }
    lpDDSRekordfigur = nullptr;
    lpDDSPatrone = nullptr;
    lpDDSEinschuss = nullptr;
    lpDDSSchrift = nullptr;
    lpDDSSchriftRot = nullptr;
    for (Sprite& vorlage : Sprite_Vorlagen) {
        for (int i = 0; i < 6; ++i) {
            vorlage.Bilder[i] = nullptr;
            vorlage.Spiegelbilder[i] = nullptr;
        }
    }
}
