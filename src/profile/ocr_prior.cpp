#include "profile/ocr_prior.h"

#include <cmath>
#include <limits>

#include "base/letters.h"
#include "files/text_files.h"
#include "profile/readings.h"
#include "profile/shipped_priors.h"

namespace scanmend {
namespace {

// The words that tell the priors apart: the most frequent, each weighed
// by its count.
constexpr std::size_t kSample = 1500;
constexpr std::size_t kLeast = 3;
// What a word that no reading explains costs under any prior.
constexpr double kUnexplained = 1e-4;

}  // namespace

const std::vector<OcrPrior>& shippedPriors() {
  static const std::vector<OcrPrior> priors = [] {
    std::vector<OcrPrior> read;
    for (const auto& [name, text] : kShippedPriors) {
      OcrPrior prior{std::string(name), {}};
      std::string error;
      parseProfile(text, prior.profile, error);
      read.push_back(std::move(prior));
    }
    return read;
  }();
  return priors;
}

bool readPriorFile(const std::string& path, OcrPrior& prior, std::string& error) {
  std::string text;
  if (const ReadResult result = readFile(path, text); result != ReadResult::Read) {
    error = path + " " + std::string(readFailure(result));
    return false;
  }
  decodeText(text);
  prior.name = path;
  if (!parseProfile(text, prior.profile, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::size_t likeliestPrior(const std::vector<BookWord>& words, const KnownWords& known,
                           const std::vector<OcrPrior>& priors) {
  if (priors.size() < 2) return 0;
  struct Sampled {
    std::string_view text;
    double count;
    bool known;
  };
  std::vector<Sampled> sample;
  for (const BookWord& word : words) {  // the most frequent first
    if (sample.size() == kSample) break;
    if (word.text.size() < kLeast || !isLetterWord(word.text)) continue;
    sample.push_back({word.text, static_cast<double>(word.count), known.of(word.text).known()});
  }
  std::size_t best = 0;
  double bestLikelihood = -std::numeric_limits<double>::infinity();
  for (std::size_t p = 0; p < priors.size(); ++p) {
    const Profile& profile = priors[p].profile;
    double likelihood = 0;
    for (const Sampled& word : sample) {
      double channel = kUnexplained;
      if (word.known) {
        channel = std::max(channel, stayChannel(word.text, profile));
      } else {
        const std::vector<Candidate> readings =
            readingsOnlyOf(word.text, profile, known.lexicon(), 1);
        if (!readings.empty()) channel = std::max(channel, readings.front().channel);
      }
      likelihood += word.count * std::log(channel);
    }
    if (likelihood > bestLikelihood) {
      bestLikelihood = likelihood;
      best = p;
    }
  }
  return best;
}

}  // namespace scanmend
