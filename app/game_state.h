#pragma once
// The one record that holds the whole game. It is created at start-up and lives
// until the program ends; every game routine takes it by reference and reads
// and changes its fields directly. Tables keep the shapes and index ranges of
// the game's own data: walls 1..6 with slot 0 for the cube, glyph sections and
// points from 1, ROBO sections and points from 0 with point -1 the drawn flag.
// Booleans that live in tables keep the game's convention: -1 true, 0 false.

#include "app/indexed.h"
#include "app/rounding.h"
#include "platform/random.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
struct Platform;
}

constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// -- Constants: set once at start-up --
constexpr std::int32_t NumFaces = 6;         // walls of the craft, and walls an etude must complete
constexpr std::int16_t NumEtudeKinds = 16;   // etude kinds of the menu and the report
constexpr std::int16_t FieldsPerRecord = 11; // integers in one player record
constexpr std::int16_t NumRoboSections = 69; // drawn sections of ROBO, 1..69
constexpr int MaxGlyphSections = 9;          // sections a glyph slot can hold
constexpr int MaxGlyphPoints = 30;           // points a glyph section can hold
constexpr int NumStars = 2000;               // entries of the star table

struct Point3f {
    float x = 0, y = 0, z = 0;
};
struct Point3d {
    double x = 0, y = 0, z = 0;
};
struct Point2f {
    float x = 0, y = 0;
};

// Coordinate n (1 = x, 2 = y, 3 = z) of a point, for the routines that name
// world axes by number (the wander plane pairs).
template <typename P>
constexpr auto& Coord(P& point, int n) {
    return n == 1 ? point.x : (n == 2 ? point.y : point.z);
}

// -- Settings: defaults at every program start; changed only by the main menu --
struct Settings {
    std::int32_t EtudeNumber = 1;            // 1..16: (axis group - 1) x 4 + step
    std::int16_t BeforeArrivalLook = 3;      // 1..4, look of a wall before ROBO arrives
    std::int16_t AfterArrivalLook = 4;       // 1..4, look of a wall once ROBO has arrived
    std::int16_t EchoMode = 1;               // 0 none, 1 spoken, 2 spoken + sinking, 3 sinking only
    std::int32_t PastPerformanceReach = 10;  // 1..10000 most recent etudes per kind in the report
    std::string PlayerName;                  // 0..20 characters, A-Z and 0-9 once entered

    // The coach, kept for the whole run and off again at every program start.
    // While it is on it chooses EtudeNumber before every PLAY.
    bool CoachOn = false;                    // on by menu 62; choosing a kind 1..16 turns it off
    // The kinds the coach chose for its last two PLAYs since it was turned on,
    // [1] older, [2] newest; 0 = none yet, and cleared when the player chooses
    // a kind. An etude left before its first wall leaves no record, so only
    // these show that the coach already gave a kind twice.
    Indexed<std::int32_t, 1, 2> CoachChoices{};
};

// One line of the player file: fields 1..11 (EtudeNumber, Duration, KeyStrokes EXP,
// KeyStrokes OBS, Year, Month, Day, Hour, Minute, Second, Status).
using PlayerRecord = Indexed<std::int16_t, 1, FieldsPerRecord>;

// -- Player history: reloaded from the player file at every pass --
struct History {
    std::vector<PlayerRecord> PlayerHistory;  // records 0..NumRecords; record 0 is the report's scratch
    std::int32_t NumRecords = 0;              // lines in the player file (no 16-bit limit)
    // Why the player file could not be read or the last record not kept, as one
    // line for the window ("" when all is well). Not reloaded: set by a failed
    // read or append, it stays through the menu until the next etude begins.
    std::string FileTrouble;
};

// -- Etude bookkeeping: reset at every pass set-up, written by the play --
struct Etude {
    std::int16_t Face = 1;        // wall ROBO is working on, 1..6; 7 once all six are solved
    std::int16_t FacesDone = 0;   // walls solved in this etude, 0..6
    float EtudeStartTime = 0;     // clock reading at the first drawn frame; 0 = not started
    float Duration = 0;           // seconds from EtudeStartTime to the end of the etude
    Indexed<Indexed<std::int16_t, 0, 1>, 1, 6> FaceKeyStrokes{};  // (wall, 0) expected, (wall, 1) observed
    Indexed<std::int16_t, 0, 1> KeyStrokes{};                    // (0) expected total, (1) observed total
    std::string DateNOW;          // "12-07-2026" at the end of the etude
    std::string TimeNOW;          // "14:05:33" at the end of the etude

    // (wall, 1) letter turn, (wall, 2) target-corner turn, (wall, 3) ROBO turn; degrees 0/90/180/270
    Indexed<Indexed<std::int16_t, 1, 3>, 1, 6> TumbleHistoryDegreesCCW{};
    // row 0 cols 1..4: 0, 90, 180, 270; row f: col -1 target corner, col 0 last matched corner,
    // cols 1..4 the corner distances
    Indexed<Indexed<float, -1, 4>, 0, 6> ToeDist{};

    std::int16_t TurnAxis = 3;    // 1 roll, 2 yaw, 3 pitch: the index of the axis tip in ROBO section 0
    double TurnAngle = 0;         // radians of the current body turn
    Indexed<double, 1, 6> RoboShrink{};  // current size factor of each wall's ROBO, 1.0 .. 0.6
    double SinkStart = 0;         // clock reading when the current sinking animation began
    bool FirstFrame = true;       // true from entering the play loop until the first draw
};

// -- Screen metrics and layout: recomputed at every pass from the desktop work area --
struct Screen {
    std::int32_t WindowXrange = 0;  // work-area width in pixels
    std::int32_t WindowYrange = 0;  // work-area height in pixels
    float WindowScale = 1;          // min(width / 3840, height / 2160)
    float TextScale = 1;            // WindowScale + 0.4 x (1 - WindowScale)
    std::int16_t HalfWidth = 0;     // WindowXrange / 2, rounded
    std::int16_t HalfHeight = 0;    // WindowYrange / 2, rounded
    std::int16_t CubeScaleUnit = 144;  // world units per glyph-grid step
    std::int16_t StripUnit = 17;       // pixels per glyph step in the flat letter strip
    std::int16_t OutlineWidth = 12;    // pen width of outlined letters
    Indexed<std::int16_t, 1, 19> LayoutX{};  // layout columns in user coordinates
    Indexed<std::int16_t, 1, 17> LayoutY{};  // layout rows in user coordinates
    double RoboScaleUnit = 33;      // 33 x WindowScale, not rounded
    double RoboStandOff = -936;     // CubeScaleUnit x (-6.5): ROBO's hover distance beyond its wall
};

// -- Sky: the star table is rebuilt at every pass; SkyMode is kept for the run --
struct Sky {
    // item 1 x, 2 y (user coordinates), 3 unused, 4 size factor, 5..7 red, green, blue
    Indexed<Indexed<std::int16_t, 1, NumStars>, 1, 7> StarTable{};
    double StarPhase = 1.0;              // star growth, advanced once per star drawn
    double StarPhaseStep = 1e-7f;        // the single-precision value 1e-7
    std::int16_t SkyMode = 1;            // 0 none, 1..4 table stars, 5..8 new random stars
};

// -- Letters and the craft: rebuilt for every etude --
using GlyphPoints = Indexed<Indexed<Point3f, 1, MaxGlyphPoints>, 1, MaxGlyphSections>;
struct Glyphs {
    std::string ChosenWord;                         // the etude's six-letter word
    Indexed<char, 1, 6> FaceLetter{};               // the letter of each wall
    Indexed<Indexed<std::int16_t, 1, 2>, 0, 6> SectionsPerCharacter{};  // (w,1) sections, (w,2) outline-only
    Indexed<Indexed<std::int16_t, 1, MaxGlyphSections>, 0, 6> PointsPerCharSection{};
    Indexed<GlyphPoints, 0, 6> CharRAW{};     // glyph units (then centred); slot 0 the craft's apexes
    Indexed<GlyphPoints, 0, 6> CharTURNED{};  // scaled and turned in the wall plane
    Indexed<GlyphPoints, 0, 6> CharONFACE{};  // world coordinates: what is drawn and what wanders
    // flat strip copies: wall, turn 1..4 (0, 90, 180, 270 degrees), section, point
    Indexed<Indexed<Indexed<Indexed<Point2f, 1, MaxGlyphPoints>, 1, MaxGlyphSections>, 1, 4>, 1, 6> CharMINI{};
};

// -- ROBO: the model is refilled at every pass, the six copies for every etude --
using RoboSectionPoints = Indexed<Point3d, -1, 4>;  // point -1: x holds the drawn flag
struct Robo {
    Indexed<Indexed<Point3d, 0, 4>, 0, NumRoboSections> RoboRAW{};  // section 0 the body frame
    Indexed<std::int16_t, 0, NumRoboSections> PointsPerRoboSection{};  // 4, and 3 for section 0
    Indexed<Indexed<Indexed<Point3d, 0, 4>, 0, NumRoboSections>, 1, 6> RoboTURNED{};
    Indexed<Indexed<RoboSectionPoints, 0, NumRoboSections>, 1, 6> RoboONFACE{};

    bool ShowRightHand = false;        // right-hand highlight, lasts 1 second
    double ShowRightHandAt = 0;        // clock reading when it was switched on
    bool ShowHyphenHead = true;        // hyphen-head hatching; starts set, expires at the first draw
    double ShowHyphenHeadAt = 0;
};

// -- The slow drift of the whole scene, and the marker inside the craft --
struct Wander {
    Indexed<Point3f, 0, 10> WanderMarker{};       // point 0 centre, 1..8 the ring, 9 and 10 the tips
    Indexed<std::int16_t, 1, 3> WanderSense{};    // scene senses, -1 or 0
    Indexed<std::int16_t, 1, 3> MarkerSense{};    // marker senses, -1 or 0
    std::int32_t WanderFrame = 0;                 // play frame counter; kept across etudes
    std::int32_t SinkFrame = 0;                   // sinking-step counter; kept across etudes
};

// -- Picture state: walls' colours and looks, and the orders rebuilt at every draw --
struct Scene {
    Indexed<Indexed<std::int16_t, 1, 3>, 1, 6> FaceColor{};  // red, green, blue per wall
    Indexed<Indexed<std::int16_t, 0, 1>, 1, 6> FaceLook{};   // (w,0) look 0..4, (w,1) ROBO arrived (-1/0)
    Indexed<std::int16_t, 1, 3> NearestApexes{};
    Indexed<float, 1, 3> NearestApexDistances{};
    Indexed<std::int16_t, 1, 6> DrawCharFacesInThisORDER{};
    Indexed<double, 1, NumRoboSections> RoboDistance{};
    Indexed<std::int16_t, 1, NumRoboSections> RoboOrder{};
};

// -- Key handling of the play loop --
struct Play {
    std::string KeyPressed;   // key read this frame ("" none)
    std::string KeyShown;     // echoed key, cleared 2 s after KeyShownAt
    double KeyShownAt = 0;    // clock reading when KeyShown was taken; 0 clears the echo
};

// -- Flow: how the run is going --
struct Flow {
    bool Quit = false;        // set by Esc, menu 99 or closing the window: every loop returns
    int PassCount = 0;        // passes started in this run
    int ExitStatus = 0;       // the program's exit status: non-zero when the window could not be opened
};

struct GameState {
    Settings settings;   // kept for the whole run
    History history;     // reloaded at every pass
    Etude etude;         // reset at every pass set-up
    Screen screen;       // recomputed at every pass
    Sky sky;
    Glyphs glyphs;       // rebuilt for every etude
    Robo robo;           // rebuilt for every etude
    Wander wander;
    Scene scene;
    Play play;
    Flow flow;
    platform::RandomState random;              // seeded once per run from the clock
    platform::Platform* platform = nullptr;    // window, keys, clock, sound and console; not owned
};
