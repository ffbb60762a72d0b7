#include "records/report.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "platform/text_forms.h"
#include "records/number_masks.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace records {

namespace {

constexpr platform::Color kReportText = platform::Rgb(255, 255, 80);
// The row of the kind chosen in the menu, so the player finds it at a glance.
constexpr platform::Color kCurrentKindText = platform::Rgb(160, 160, 255);

// A win slower than this never counts as the fastest: the sentinel every real
// win must beat.
constexpr std::int16_t kSentinelDuration = 9999;

constexpr std::string_view kHeader = "  ETUDE DEG  SEC  KS    DATE       TIME    WON LOST  INC   %WON";
constexpr std::string_view kNoWins = "  *** ***  *********  ********  ***  ***  ***  ******";
constexpr std::string_view kGroupNames[4] = {"Pitch", "Yaw", "Roll", "PYR"};
constexpr std::string_view kStepTexts[4] = {"  45", "  90", " 135", " any"};

// A row is built in one fixed buffer and printed with one call. 53 characters
// of results and 7 of kind and step; the rest is room for wider values.
struct RowText {
    char text[160];
    std::size_t length = 0;

    void Add(std::string_view part) {
        std::size_t room = sizeof text - length;
        std::size_t count = part.size() < room ? part.size() : room;
        std::memcpy(text + length, part.data(), count);
        length += count;
    }
    void AddNumber(double value, std::string_view mask) {
        length += FormatWithMaskInto(text + length, sizeof text - length, value, mask);
    }
    std::string_view View() const { return {text, length}; }
};

void BuildResultRow(RowText& row, const PlayerRecord& best, const KindSummary& summary) {
    row.AddNumber(best[2], "* ###");
    row.AddNumber(best[3], "* ##");
    row.AddNumber(best[7], "* ##");
    char month[3] = {' ', ' ', ' '};
    std::string name = platform::MonthName(best[6]);  // at most nine letters: no allocation
    for (std::size_t n = 0; n < 3 && n < name.size(); ++n) month[n] = name[n];
    row.Add({month, 3});
    row.AddNumber(best[5], "* ##");
    row.Add("  ");
    row.AddNumber(best[8], "00");
    row.Add(":");
    row.AddNumber(best[9], "00");
    row.Add(":");
    row.AddNumber(best[10], "00");
    row.AddNumber(summary.won, "* ###");
    row.AddNumber(summary.lost, "* ###");
    row.AddNumber(summary.incomplete, "* ###");
    float total = static_cast<float>(summary.won + summary.lost + summary.incomplete);
    float won_share = 100.0f * static_cast<float>(summary.won) / total;
    row.AddNumber(won_share, "* ###.00");
}

}  // namespace

std::string_view AxisGroupName(int group) {
    return (group >= 1 && group <= 4) ? kGroupNames[group - 1] : std::string_view();
}

// -- The summary --

// Newest first, each kind until its reach is met; a win counts as the fastest
// only when it beats every newer one and the sentinel duration. All kinds in
// one pass: the table is drawn at every frame, and a player who keeps to one
// kind would otherwise have the whole history read once for each other kind.
KindSummaries SummariseKinds(const History& history, std::int32_t reach) {
    const auto& records = history.PlayerHistory;
    std::int32_t last = history.NumRecords;
    if (static_cast<std::size_t>(last) >= records.size()) last = static_cast<std::int32_t>(records.size()) - 1;

    KindSummaries summaries{};
    std::array<std::int16_t, NumEtudeKinds> best_duration;
    best_duration.fill(kSentinelDuration);
    std::array<bool, NumEtudeKinds> done{};
    int kinds_left = NumEtudeKinds;
    for (std::int32_t i = last; i >= 1 && kinds_left > 0; --i) {
        const PlayerRecord& record = records[static_cast<std::size_t>(i)];
        const int kind = record[1];
        if (kind < 1 || kind > NumEtudeKinds || done[static_cast<std::size_t>(kind - 1)]) continue;
        const auto index = static_cast<std::size_t>(kind - 1);
        KindSummary& summary = summaries[index];
        switch (record[11]) {
            case -1: ++summary.incomplete; break;
            case 0: ++summary.lost; break;
            case 1:
                ++summary.won;
                if (record[2] < best_duration[index]) {
                    summary.best = i;
                    best_duration[index] = record[2];
                }
                break;
            default: break;
        }
        // A kind's reading ends at the record that brings its count to the
        // reach (never below one, as the menu takes it).
        if (summary.won + summary.lost + summary.incomplete == reach) {
            done[index] = true;
            --kinds_left;
        }
    }
    return summaries;
}

// -- The table --

void DrawPerformanceReport(const GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const History& history = game.history;

    const double line_height = static_cast<double>(RoundToInt32(screen.TextScale * 32.0));
    const double title_x = screen.HalfWidth - RoundToInt32(screen.WindowScale * 945.0);
    const double header_x = screen.HalfWidth - RoundToInt32(screen.WindowScale * 960.0);
    const double row_x = screen.HalfWidth - RoundToInt32(screen.WindowScale * 905.0);
    int line = 1;
    auto line_y = [&](int n) { return static_cast<float>(screen.HalfHeight - line_height * n); };

    // Every row is built first, so that the font can be chosen to fit them all.
    RowText title;
    const std::string& name = game.settings.PlayerName;
    const bool title_whole = name.size() + 12 <= sizeof title.text;
    if (title_whole) {
        title.Add(name);
        title.Add(" PERFORMANCE");
    }
    std::array<RowText, NumEtudeKinds> rows;
    std::array<bool, NumEtudeKinds> starred{};  // no win counted: the row of stars
    const KindSummaries summaries = SummariseKinds(history, game.settings.PastPerformanceReach);
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        const KindSummary& summary = summaries[static_cast<std::size_t>(kind - 1)];
        RowText& row = rows[static_cast<std::size_t>(kind - 1)];
        row.AddNumber(kind, "* #");
        row.Add(kStepTexts[(kind - 1) % 4]);
        starred[static_cast<std::size_t>(kind - 1)] = summary.best == 0;
        if (summary.best == 0) {
            row.Add(kNoWins);
        } else {
            BuildResultRow(row, history.PlayerHistory[static_cast<std::size_t>(summary.best)], summary);
        }
    }

    // The written size where the table fits beside the scene; on a narrower
    // window the largest size at which no line passes the right edge, since a
    // wrapped line would go on at the left edge, over the frame and the counts.
    const double right = screen.HalfWidth;
    auto fits = [&]() {
        if (title_whole && title_x + platform::GraphicTextWidth(platform, title.View()) > right) return false;
        if (header_x + platform::GraphicTextWidth(platform, kHeader) > right) return false;
        for (const RowText& row : rows) {
            if (row_x + platform::GraphicTextWidth(platform, row.View()) > right) return false;
        }
        return true;
    };
    int points = RoundToInt32(screen.TextScale * 12.0);
    platform::SetGameFont(platform, "COURIER NEW", points);
    while (points > 1 && !fits()) platform::SetGameFont(platform, "COURIER NEW", --points);
    platform::GraphicSetColor(platform, kReportText, platform::kUnchanged);

    platform::GraphicSetPos(platform, static_cast<float>(title_x), line_y(line));
    if (title_whole) {
        platform::GraphicPrintText(platform, title.View());
    } else {
        platform::GraphicPrintText(platform, name);
        platform::GraphicPrintText(platform, " PERFORMANCE");
    }
    ++line;
    platform::GraphicSetPos(platform, static_cast<float>(header_x), line_y(line));
    platform::GraphicPrintText(platform, kHeader);

    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        platform::GraphicSetColor(platform, kReportText, platform::kUnchanged);
        if ((kind - 1) % 4 == 0) {
            ++line;
            platform::GraphicSetPos(platform, static_cast<float>(title_x), line_y(line));
            platform::GraphicPrintText(platform, AxisGroupName((kind - 1) / 4 + 1));
        }

        platform::Color row_color = (kind == game.settings.EtudeNumber) ? kCurrentKindText : kReportText;
        platform::GraphicSetColor(platform, row_color, platform::kUnchanged);
        ++line;
        platform::GraphicSetPos(platform, static_cast<float>(row_x), line_y(line));
        const auto k = static_cast<std::size_t>(kind - 1);
        platform::GraphicPrintText(platform, rows[k].View());
        // The row of stars ends its line once more before the row's own end of line.
        if (starred[k]) platform::GraphicNewLine(platform);
        platform::GraphicNewLine(platform);
    }
    platform::GraphicNewLine(platform);
}

}  // namespace records
