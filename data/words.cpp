#include "data/words.h"

#include "platform/random.h"

namespace data {

// -- The word list --
// No word holds H, O, N, I, S, X or Z: those letters look the same after a
// half turn, so the player could not read how the letter is turned on its wall.
const std::array<std::string_view, WordCount> WordList = {
    "ABDUCT", "ABLATE", "ABRADE", "ABRUPT", "ADDUCE", "ALBERT", "AMPERE", "ARMFUL", "ARTFUL", "ATTACK",  // 1..10
    "BACKER", "BAKERY", "BARELY", "BARFLY", "BARREL", "BARTER", "BATTER", "BEGGAR", "BEREFT", "BETTER",  // 11..20
    "BLAMER", "BLEARY", "BLURRY", "BRAKER", "BRAVER", "BUCKET", "BUGGER", "BULLET", "BUMBLE", "BYEBYE",  // 21..30
    "CAMERA", "CAMPER", "CARAFE", "CAREER", "CARTER", "CARVER", "CATTLE", "CRABBY", "CRADLE", "CRAFTY",  // 31..40
    "CRAPPY", "CRATER", "CRAVER", "CREAMY", "CREATE", "CREEPY", "CRUDDY", "CRUDER", "CRUMBY", "CURTLY",  // 41..50
    "DABBLE", "DAGGER", "DAMAGE", "DAMPER", "DAPPER", "DARKLY", "DAWDLE", "DEADLY", "DEALER", "DEARER",  // 51..60
    "DEBARK", "DEBATE", "DECADE", "DECAMP", "DECREE", "DEDUCE", "DEEPER", "DEFAME", "DEFEAT", "DEFTLY",  // 61..70
    "DEFRAY", "DEMURE", "DEPART", "DETECT", "DRAPER", "DREAMY", "DREARY", "DUFFLE", "DUMBER", "DUMPED",  // 71..80
    "EARBUD", "EATERY", "EDWARD", "EFFACE", "EFFECT", "EFFETE", "EMBLEM", "EMERGE", "EQUATE", "EUREKA",  // 81..90
    "FAKERY", "FALTER", "FARMER", "FATCAT", "FATTER", "FAULTY", "FEEDER", "FEELER", "FERRET", "FERULE",  // 91..100
    "FEUDAL", "FLATLY", "FLEECE", "FLURRY", "FRAMER", "FREAKY", "FREDDY", "FREELY", "FRUMPY", "FUTURE",  // 101..110
    "GADFLY", "GADGET", "GALLEY", "GAMBLE", "GARAGE", "GARBLE", "GARGLE", "GARTER", "GLADLY", "GRABBY",  // 111..120
    "GRADED", "GRADER", "GRATED", "GRATER", "GRAVEL", "GREECE", "GRUBBY", "GRUMPY", "GULLET", "GYRATE",  // 121..130
    "JABBED", "JABBER", "JACKAL", "JACKET", "JAGUAR", "JEKYLL", "JERKED", "JUGGLE", "JUMBLE", "JUMPER",  // 131..140
    "KEEPER", "KARATE", "KEGGER", "LADDER", "LADLED", "LAMBDA", "LAMELY", "LARDER", "LARGER", "LATELY",  // 141..150
    "LATTER", "LAUDED", "LAUREL", "LAWYER", "LEADER", "LEAKER", "LEAPER", "LETTER", "LUBBER", "LULLED",  // 151..160
    "LUMBAR", "LUMBER", "LUMPED", "MAGLEV", "MALADY", "MARAUD", "MARBLE", "MARKER", "MARKET", "MARTYR",  // 161..170
    "MATTER", "MATURE", "MEDDLE", "METTLE", "MEEKER", "MEMBER", "MERGER", "MUDDLE", "MUPPET", "MURDER",  // 171..180
    "MUTATE", "MUTUAL", "MYRTLE", "PABLUM", "PACKET", "PACKER", "PADDLE", "PALMER", "PALTRY", "PAMPER",  // 181..190
    "PARADE", "PARLAY", "PARTED", "PARTLY", "PATTER", "PAYDAY", "PEARLY", "PEDDLE", "PEPPER", "PETTED",  // 191..200
    "PETTER", "PEWTER", "PLAYER", "PLUCKY", "PLURAL", "PRAYED", "PRAYER", "PREFAB", "PREFER", "PREPAY",  // 201..210
    "PREPPY", "PRETTY", "PREWAR", "PREYER", "PUCKER", "PUDDLE", "PULLEY", "PUMMEL", "PUMPER", "PURELY",  // 211..220
    "PURPLE", "PURVEY", "PUTTER", "QUAKER", "QUARRY", "QUAVER", "QUERRY", "RABBLE", "RACKET", "RAFFLE",  // 221..230
    "RAFTER", "RAGGED", "RAGTAG", "RAMBLE", "RAMJET", "RAPTLY", "RARELY", "RATTLE", "READER", "REALLY",  // 231..240
    "REAPER", "REBUKE", "REDACT", "REDDER", "REDEEM", "REDUCE", "REEFER", "REFUEL", "REFUTE", "REGALE",  // 241..250
    "REGARD", "REGLUE", "REGRET", "RELATE", "REMADE", "REMAKE", "REMARK", "REMEDY", "REMELT", "REPARE",  // 251..260
    "REPEAL", "REPEAT", "REPUTE", "RETAKE", "RETAPE", "RETARD", "REVEAL", "REVELY", "REVERT", "REWARD",  // 261..270
    "RUBBER", "RUBBLE", "RUDDER", "RUDELY", "RUEFUL", "RUMBLE", "RUMPLE", "TABLED", "TABLET", "TACKER",  // 271..280
    "TALLER", "TAMELY", "TAMPED", "TAMPER", "TARGET", "TATTLE", "TELLER", "TEMPER", "TRACED", "TRACER",  // 281..290
    "TRADED", "TRADER", "TRAVEL", "TUMBLE", "TURKEY", "TURTLE", "TUVALU", "UPBEAT", "VACUUM", "VALLEY",  // 291..300
    "VAGUER", "VALUED", "VARLET", "VEERED", "VELVET", "VERBAL", "VERGER", "VULGAR", "WAFTED", "WAMPUM",  // 301..310
    "WARDER", "WARMED", "WARMER", "WARMLY", "WARPED", "WATERY", "WAYLAY", "WETTED", "YEARLY",  // 311..319
};

// -- Word choice --
void ChooseWord(GameState& game) {
    const std::int32_t k = platform::RandomInteger(game.random, 1, WordCount);
    game.glyphs.ChosenWord = std::string(WordList[static_cast<std::size_t>(k - 1)]);
    for (int face = 1; face <= 6; ++face) {
        game.glyphs.FaceLetter[face] = game.glyphs.ChosenWord[static_cast<std::size_t>(face - 1)];
    }
}

}  // namespace data
