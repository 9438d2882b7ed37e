// Computes tests/review/fsrs-oracle.json with the FSRS project's reference
// TypeScript package, used only as an oracle; the tests read the JSON and do
// not need this script.
//
//   mkdir /tmp/oracle && cd /tmp/oracle && npm install ts-fsrs@5.4.2
//   cp <repository>/tests/review/make-fsrs-oracle.mjs . && node make-fsrs-oracle.mjs > <repository>/tests/review/fsrs-oracle.json
//
// The package is set to schedule as Lexbay does: FSRS-6 default weights,
// whole days with no learning or relearning steps (every review, an Again
// included, is scheduled in days), same-day reviews on (a review on the day
// of the previous one uses the short-term rule), no fuzz, at most 365 days.
// Each review happens at noon UTC, so the package's day count is the number
// of calendar days between reviews.
import { createEmptyCard, fsrs, FSRSVersion, Rating } from "ts-fsrs";

// Each sequence: a desired retention and its reviews, each a grade and when:
// "due" on the day the previous review set, or a number of days after it.
const sequences = [
  { name: "good on every due day", retention: 0.9,
    reviews: [["Good", 0], ["Good", "due"], ["Good", "due"], ["Good", "due"], ["Good", "due"], ["Good", "due"]] },
  { name: "again and same-day reviews, then recalled", retention: 0.9,
    reviews: [["Again", 0], ["Again", 0], ["Good", 0], ["Good", "due"], ["Hard", "due"], ["Good", "due"]] },
  { name: "hard start, late recall, a lapse, relearnt", retention: 0.9,
    reviews: [["Hard", 0], ["Good", 5], ["Again", "due"], ["Good", 1], ["Easy", "due"], ["Hard", 0]] },
  { name: "easy until the longest interval", retention: 0.9,
    reviews: [["Easy", 0], ["Easy", "due"], ["Easy", "due"], ["Easy", "due"], ["Easy", "due"], ["Good", "due"]] },
  { name: "low retention", retention: 0.7,
    reviews: [["Good", 0], ["Good", "due"], ["Again", "due"], ["Good", "due"], ["Good", "due"]] },
  { name: "high retention", retention: 0.97,
    reviews: [["Good", 0], ["Hard", "due"], ["Good", "due"], ["Hard", "due"], ["Again", 40], ["Hard", "due"]] },
  { name: "reviewed early, every day", retention: 0.9,
    reviews: [["Good", 0], ["Good", 1], ["Good", 1], ["Again", 1], ["Hard", 1], ["Good", 1]] },
];

const dayMs = 24 * 60 * 60 * 1000;
const start = Date.UTC(2026, 0, 5, 12, 0, 0);
const out = { source: `ts-fsrs ${FSRSVersion} from the npm registry, tests/review/make-fsrs-oracle.mjs`, sequences: [] };
for (const sequence of sequences) {
  const scheduler = fsrs({
    request_retention: sequence.retention, maximum_interval: 365, enable_fuzz: false,
    enable_short_term: true, learning_steps: [], relearning_steps: [],
  });
  let card = createEmptyCard(new Date(start));
  let day = 0;
  const reviews = [];
  for (const [grade, when] of sequence.reviews) {
    const elapsed = when === "due" ? card.scheduled_days : when;
    day += reviews.length === 0 ? 0 : elapsed;
    card = scheduler.next(card, new Date(start + day * dayMs), Rating[grade]).card;
    reviews.push({ grade, elapsedDays: reviews.length === 0 ? 0 : elapsed, stability: card.stability,
                   difficulty: card.difficulty, intervalDays: card.scheduled_days });
  }
  out.sequences.push({ name: sequence.name, retention: sequence.retention, reviews });
}
console.log(JSON.stringify(out, null, 1));
