// The animated picture of a target: its frames and their mirror images, the
// hit area, drawing the current frame and stepping the animation.
#include "gfx/sprite.h"

#include <cstring>
#include <new>

#include "platform/faults.h"

namespace {

constexpr int kMaxBilder = 6;
constexpr std::uint8_t kVideospeicher = 1;

// A buffer of the routine's own that can be made to fail in tests.
std::uint8_t* puffer_anlegen(std::size_t bytes) {
    if (platform::fault_due(platform::Fault::Allocation)) {
        return nullptr;
    }
    return new (std::nothrow) std::uint8_t[bytes];
}

// Mirrors one frame into its mirror surface. False when a lock or the buffer
// fails; the mirror surface is then left as it was.
template <typename Pixel>
bool spiegeln(Surface* bild, Surface* spiegelbild) {
    platform::LockedPixels q;
    if (bild == nullptr || !bild->lock(q)) {
        return false;
    }
    // The frame is copied whole first, so the lock on it is held only briefly.
    const std::size_t groesse = static_cast<std::size_t>(q.height) * q.pitch;
    std::uint8_t* puffer = puffer_anlegen(groesse);
    if (puffer == nullptr) {
        bild->unlock();
        return false;
    }
    std::memcpy(puffer, q.pixels, groesse);
    bild->unlock();

    platform::LockedPixels z;
    if (spiegelbild == nullptr || !spiegelbild->lock(z)) {
        delete[] puffer;
        return false;
    }
    // Both surfaces come from one Sprite_anlegen and have the same size; the
    // smaller of the two bounds the copy all the same.
    const int breite = q.width < z.width ? q.width : z.width;
    const int hoehe = q.height < z.height ? q.height : z.height;
    for (int y = 0; y < hoehe; ++y) {
        const auto* quelle =
            reinterpret_cast<const Pixel*>(puffer + static_cast<std::size_t>(y) * q.pitch);
        auto* ziel = reinterpret_cast<Pixel*>(z.pixels + static_cast<std::size_t>(y) * z.pitch);
        for (int x = 0; x < breite; ++x) {
            ziel[x] = quelle[q.width - 1 - x];
        }
    }
    spiegelbild->unlock();
    delete[] puffer;
    return true;
}

template <typename Pixel>
void alle_spiegeln(Sprite* sprite) {
    for (int i = 0; i < sprite->Bildanzahl && i < kMaxBilder; ++i) {
        // The first frame that cannot be mirrored ends the work; the mirror
        // images after it stay as they are.
        if (!spiegeln<Pixel>(sprite->Bilder[i], sprite->Spiegelbilder[i])) {
            return;
        }
    }
}

}  // namespace

int Sprite_anlegen(Sprite* sprite, int breite, int hoehe, int anzahl, int typ) {
    if (sprite == nullptr) {
        return 0;
    }
    if (anzahl > kMaxBilder) {
        anzahl = kMaxBilder;
    }
    sprite->Typ = typ;
    sprite->Breite = breite;
    sprite->Hoehe = hoehe;
    sprite->Bildanzahl = anzahl;
    sprite->Blickrichtung = 0;
    sprite->Bild = 0;
    sprite->x = 0;
    sprite->y = 0;
    // The cycle length is the round set-up's business, the hit area that of
    // Sprite_Trefferfeld_setzen.
    for (int i = 0; i < kMaxBilder; ++i) {
        sprite->Bilder[i] = nullptr;
        sprite->Spiegelbilder[i] = nullptr;
    }
    // A failed creation has shown its message and leaves the reference empty;
    // drawing skips an empty frame.
    for (int i = 0; i < anzahl; ++i) {
        DDraw_Offscreen_anlegen(&sprite->Bilder[i], breite, hoehe, kVideospeicher);
        DDraw_Offscreen_anlegen(&sprite->Spiegelbilder[i], breite, hoehe, kVideospeicher);
    }
    return 0;
}

int Sprite_Trefferfeld_setzen(Sprite* sprite, std::uint8_t ganz, int links, int oben, int rechts,
                              int unten) {
    if (sprite == nullptr) {
        return 0;
    }
    if (ganz == 1) {
        links = 0;
        oben = 0;
        rechts = sprite->Breite;
        unten = sprite->Hoehe;
    }
    sprite->Links = links;
    sprite->Rechts = rechts;
    sprite->Oben = oben;
    sprite->Unten = unten;
    return 0;
}

void DDraw_Sprite_spiegeln(Sprite* sprite) {
    if (sprite == nullptr) {
        return;
    }
    if (Farbtiefe == 16) {
        alle_spiegeln<std::uint16_t>(sprite);
    } else if (Farbtiefe == 32) {
        alle_spiegeln<std::uint32_t>(sprite);
    }
}

void DDraw_Sprite_blitten(Sprite* sprite, Surface* ziel) {
    if (sprite == nullptr || ziel == nullptr) {
        return;
    }
    const int i = sprite->Bild;
    // A frame index outside the frames there are draws nothing (a negative
    // one included, which would otherwise read before the table).
    if (i < 0 || i >= sprite->Bildanzahl || i >= kMaxBilder || sprite->Bilder[i] == nullptr) {
        return;
    }
    DDraw_Blitten(sprite->x, sprite->y, sprite->Breite, sprite->Hoehe, sprite->Bilder[i], ziel);
}

void Sprite_Bild_weiter(Sprite* sprite) {
    if (sprite == nullptr) {
        return;
    }
    sprite->Bild += 1;
    if (sprite->Bild >= sprite->Zykluslaenge) {
        sprite->Bild = 0;
    }
}
