#include "progress/export.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "progress/figures.h"
#include "progress/progress_page.h"
#include "records/record_file.h"
#include "render/view.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

namespace progress {

namespace {

constexpr std::size_t kMaxNameLength = 20;

std::string ExtensionOf(const std::string& path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return {};
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

std::string_view StatusText(int status) {
    switch (status) {
        case 1: return "won";
        case 0: return "lost";
        case -1: return "incomplete";
        default: return {};
    }
}

void AddTwoDigits(std::string& line, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    line += text;
}

}  // namespace

bool LoadNamedHistory(GameState& game, const std::string& name, std::string& problem) {
    // The game keeps names in capitals; the file name is in lower case either way.
    std::string stored;
    for (char c : name) stored += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    bool valid = !stored.empty() && stored.size() <= kMaxNameLength;
    for (char c : stored) valid = valid && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    if (!valid) {
        problem = "invalid player name \"" + name + "\": 1 to 20 letters A-Z and digits 0-9";
        return false;
    }
    game.settings.PlayerName = stored;
    records::LoadPlayerHistory(game);
    if (game.history.NumRecords < 1) {
        problem = "no records to read for player " + stored + " (" + records::PlayerFileName(stored) +
                  " is missing or empty)";
        return false;
    }
    return true;
}

bool ExportProgressPage(const std::string& name, const std::string& path, std::string& problem, int width,
                        int height) {
    const std::string extension = ExtensionOf(path);
    if (extension != "png" && extension != "svg" && extension != "pdf") {
        problem = "cannot write \"" + path + "\": the file name must end in .png, .svg or .pdf";
        return false;
    }
    auto game = std::make_unique<GameState>();
    if (!LoadNamedHistory(*game, name, problem)) return false;

    platform::OffscreenOptions options;
    options.width = width;
    options.height = height;
    options.record_vector = extension != "png";  // SVG and PDF stay vector
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    game->platform = window.get();
    render::ComputeScreenMetricsFor(game->screen, width, height);
    const Screen& screen = game->screen;
    if (!platform::OpenGraphicWindow(*window, "Gyrovessel 012", 0, 0, width, height)) {
        problem = "cannot make a picture of " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    platform::GraphicSetScale(*window, -screen.HalfWidth, screen.HalfHeight, screen.HalfWidth, -screen.HalfHeight);
    platform::GraphicSetOption(*window, platform::WindowOption::Inclusive, true);

    // A file has no today: runs of days and the last week end at its last record.
    const History& history = game->history;
    std::int32_t today = DayNumberOfRecord(history.PlayerHistory[static_cast<std::size_t>(history.NumRecords)]);
    PageFigures page;
    PreparePage(*game, today, page);
    DrawProgressPage(*game, page);
    if (!platform::SavePicture(*window, path)) {
        problem = "cannot write \"" + path + "\"";
        return false;
    }
    return true;
}

std::string CsvOfHistory(const History& history) {
    std::string csv = "etude,kind,seconds,keystrokes_expected,keystrokes_observed,date,time,status\r\n";
    const std::int32_t last = LastRecord(history);
    for (std::int32_t i = 1; i <= last; ++i) {
        const PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(i)];
        csv += std::to_string(i);
        csv += ',';
        std::string_view kind = KindName(record[1]);
        csv += kind.empty() ? std::to_string(record[1]) : std::string(kind);
        for (int field = 2; field <= 4; ++field) {
            csv += ',';
            csv += std::to_string(record[field]);
        }
        csv += ',';
        csv += std::to_string(record[5]);
        csv += '-';
        AddTwoDigits(csv, record[6]);
        csv += '-';
        AddTwoDigits(csv, record[7]);
        csv += ',';
        AddTwoDigits(csv, record[8]);
        csv += ':';
        AddTwoDigits(csv, record[9]);
        csv += ':';
        AddTwoDigits(csv, record[10]);
        csv += ',';
        std::string_view status = StatusText(record[11]);
        csv += status.empty() ? std::to_string(record[11]) : std::string(status);
        csv += "\r\n";
    }
    return csv;
}

bool WriteCsv(const std::string& name, std::string& csv, std::string& problem) {
    auto game = std::make_unique<GameState>();
    if (!LoadNamedHistory(*game, name, problem)) return false;
    csv = CsvOfHistory(game->history);
    return true;
}

}  // namespace progress
