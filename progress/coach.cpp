#include "progress/coach.h"

#include "progress/figures.h"

namespace progress {

int KindBarredByRepeats(const GameState& game) {
    const History& history = game.history;
    const auto last = static_cast<std::size_t>(history.NumRecords);
    if (last >= 2 && last < history.PlayerHistory.size()) {
        const int newest = history.PlayerHistory[last][1];
        if (newest == history.PlayerHistory[last - 1][1]) return newest;
    }
    // Etudes left before their first wall leave no record; the coach's own
    // memory of its choices still counts them.
    const auto& choices = game.settings.CoachChoices;
    if (choices[2] != 0 && choices[1] == choices[2]) return choices[2];
    return 0;
}

int CoachChooseKind(const GameState& game) {
    KindTable figures;
    FiguresOfAllKinds(game.history, game.settings.PastPerformanceReach, figures);
    const int barred = KindBarredByRepeats(game);

    // A kind never played: the first in menu order.
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        if (kind != barred && figures[static_cast<std::size_t>(kind)].etudes == 0) return kind;
    }
    // Otherwise the weakest: the lowest share won, then the lowest speed (a
    // kind without a timed win counts as speed 0); on a tie the earlier kind.
    int weakest = 0;
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        if (kind == barred) continue;
        if (weakest == 0) {
            weakest = kind;
            continue;
        }
        const KindFigures& candidate = figures[static_cast<std::size_t>(kind)];
        const KindFigures& best = figures[static_cast<std::size_t>(weakest)];
        if (candidate.share_won < best.share_won ||
            (candidate.share_won == best.share_won && candidate.speed < best.speed)) {
            weakest = kind;
        }
    }
    return weakest;
}

void NoteCoachChoice(GameState& game) {
    auto& choices = game.settings.CoachChoices;
    choices[1] = choices[2];
    choices[2] = game.settings.EtudeNumber;
}

}  // namespace progress
