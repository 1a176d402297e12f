// Names for the game's numbers: screen states, the items of Sound.dat, the
// entries of Grafik.dat, the jukebox's operations and states, and the states
// of a target slot. The values are fixed by the data files and by the traces
// of scripted runs; only the names are ours.
#pragma once

#include <cstdint>

// Screen states, the values of Spielzustand.
namespace Zustand {
inline constexpr std::int32_t Titel = 0;
inline constexpr std::int32_t Menue = 1;
inline constexpr std::int32_t Rundenstart = 2;
inline constexpr std::int32_t Spiel = 3;
inline constexpr std::int32_t Neuer_Highscore = 4;
inline constexpr std::int32_t Game_Over = 5;
inline constexpr std::int32_t Highscoreliste = 6;
inline constexpr std::int32_t Credits = 7;
inline constexpr std::int32_t Beenden = 8;
inline constexpr std::int32_t Ende = 9;  // the main loop stops
}  // namespace Zustand

// Items of Sound.dat, by what they sound for.
namespace Klang {
inline constexpr int Bonus_drei = 0;            // one shot hits three targets
inline constexpr int Lauerer_getroffen = 1;     // panned
inline constexpr int Kulisse_selten = 2;        // ambient, every 10 to 30 s of play
inline constexpr int Leer = 3;                  // the trigger with no shells left
inline constexpr int Los = 4;                   // intro step "Shot!", with Los_Hall
inline constexpr int Tick = 5;                  // menu entered, last ten seconds, F1 on the credits
inline constexpr int Los_Hall = 6;              // intro step "Shot!", with Los
inline constexpr int Aufsteiger_getroffen = 7;  // panned
inline constexpr int Lauerer_erscheint = 8;     // panned
inline constexpr int Flieger_getroffen = 9;     // panned
inline constexpr int Bonus_viele = 10;          // one shot hits four to nine targets
inline constexpr int Aufsteiger_erscheint = 11;  // panned
inline constexpr int Rekordfigur = 12;           // the pop-up figure starts
inline constexpr int Bonus_zwei = 13;            // one shot hits two targets
inline constexpr int Countdown_eins = 14;        // intro step "-1-", with Countdown
inline constexpr int Nachladen = 15;             // reload; no shot while it plays
inline constexpr int Schuss = 16;       // a shot; no further shot while it plays; menu choice
inline constexpr int Countdown = 17;    // intro steps "-3-", "-2-", "-1-"
inline constexpr int Rekord = 18;       // the round enters the highscore list
inline constexpr int Auswahl = 19;      // menu selection moves; a key in the name entry
inline constexpr int Schluss = 20;      // the round ends without an entry; the quit question
inline constexpr int Kulisse_oft = 21;  // ambient, every 3 to 13 s of play
inline constexpr int Anzahl = 22;
}  // namespace Klang

// Entries of Grafik.dat. Sprite frames: flyer frame k (0 to 4) of the small,
// medium and large flyer is entry 5 + 3k, 6 + 3k and 4 + 3k; riser frame k is
// 25 + k; peeker frames 0 to 3 are 34 to 37 and its frame 4 is entry 0.
namespace Bild {
inline constexpr int Lauerer_getroffen = 0;
inline constexpr int Landschaft = 1;
inline constexpr int Einschuss = 2;
inline constexpr int Credits = 3;
inline constexpr int Grosser_Flieger = 4;
inline constexpr int Kleiner_Flieger = 5;
inline constexpr int Mittlerer_Flieger = 6;
inline constexpr int Rundenbild = 19;  // 19 to 22
inline constexpr int Highscore_verloren = 23;
inline constexpr int Menue = 24;
inline constexpr int Aufsteiger = 25;  // 25 to 29
inline constexpr int Patrone = 30;
inline constexpr int Schrift = 31;
inline constexpr int Titel = 32;
inline constexpr int Highscore_gewonnen = 33;
inline constexpr int Lauerer = 34;  // 34 to 37
inline constexpr int Rekordfigur = 38;
inline constexpr int Anzahl = 39;
}  // namespace Bild

// The jukebox: operations of Mp3_steuern and the values of Mp3_Status.
namespace Mp3 {
inline constexpr int Einmal = 1;          // open and play once
inline constexpr int Endlos = 2;          // open and play over and over
inline constexpr int Schliessen = 4;      // close
inline constexpr std::int32_t Keine = 0;  // no tunes found: silent for the whole run
inline constexpr std::int32_t Offen = 1;  // a tune is open and was told to play
inline constexpr std::int32_t Zu = 4;     // nothing open
}  // namespace Mp3

// States of a target slot (Zus).
namespace Zus {
inline constexpr std::int32_t Im_Spiel = 0;   // moved, hittable, drawn
inline constexpr std::int32_t Getroffen = 1;  // falling, drawn
inline constexpr std::int32_t Entkommen = 2;  // escaped or not yet out; waiting
inline constexpr std::int32_t Weg = 3;        // gone without counting; waiting
}  // namespace Zus

// States of the pop-up figure.
namespace Figur {
inline constexpr std::int32_t Ruht = 0;    // idle until the round's points pass the best score
inline constexpr std::int32_t Steigt = 1;  // rising from the bottom of the screen
inline constexpr std::int32_t Zeigt = 2;   // shown at the top for a moment
inline constexpr std::int32_t Sinkt = 3;   // sinking out of sight
inline constexpr std::int32_t Fertig = 4;  // done for this round
}  // namespace Figur
