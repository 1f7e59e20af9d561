// The readings of a word through a profile, against every path through the
// profile's letters and groups tried one by one: the walk through the
// dictionary's prefixes must find exactly the dictionary words that some
// path spells, each with its likeliest path's probability. And the words
// one exchange away, searched and tested directly.
#include "profile/readings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/letters.h"
#include "dictionary/sorted_words.h"
#include "profile/profile.h"

namespace scanmend {
namespace {

// Few letters, so that misreadings make words; a capital and a letter
// beyond ASCII, so that capitals and byte order count.
const std::string kLetters =
    "abfnsu\xFC"
    "F";
const std::string_view kProfileLetters = "fsnF";
// A capital, a byte above 0x7F and words that share long prefixes.
const std::string kExchangeLetters =
    "abcn\xFC"
    "A";

std::string randomText(std::mt19937& random, std::size_t least, std::size_t most,
                       std::string_view letters = kLetters) {
  std::string text(std::uniform_int_distribution<std::size_t>(least, most)(random), ' ');
  for (char& c : text)
    c = letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
  return text;
}

// A profile of a few single letters and groups of two, at the end of a word
// and elsewhere, each with one to three readings of one or two letters; of
// few letters, so that several paths spell the same word.
Profile randomProfile(std::mt19937& random) {
  Profile profile;
  const int entries = std::uniform_int_distribution<int>(2, 8)(random);
  for (int e = 0; e < entries; ++e) {
    ProfileEntry entry;
    entry.scanned = randomText(random, 1, 2, kProfileLetters);
    entry.atEnd = std::bernoulli_distribution(0.3)(random);
    const int readings = std::uniform_int_distribution<int>(1, 3)(random);
    for (int r = 0; r < readings; ++r) {
      std::string text = randomText(random, 1, 2, kProfileLetters);
      if (text == entry.scanned) continue;
      bool listed = false;
      for (const Reading& reading : entry.readings) listed = listed || reading.text == text;
      if (listed) continue;
      Reading reading;
      reading.text = text;
      reading.probability = std::uniform_real_distribution<double>(0.05, 0.3)(random);
      entry.readings.push_back(reading);
    }
    profile.set(std::move(entry));
  }
  return profile;
}

// Every path through `word`, as the profile defines them: at each place
// either one letter (as it stands or as one of its readings, times what
// the group of two it begins leaves as scanned) or a group of two read as
// one of its readings. The likeliest path of each spelling is kept.
void everyPath(std::string_view word, const Profile& profile, std::size_t at,
               const std::string& text, double channel, std::map<std::string, double>& spelled) {
  if (at == word.size()) {
    double& best = spelled[text];
    best = std::max(best, channel);
    return;
  }
  const ProfileEntry* pair =
      at + 1 < word.size() ? profile.find(word.substr(at, 2), at + 2 == word.size()) : nullptr;
  const ProfileEntry* single = profile.find(word.substr(at, 1), at + 1 == word.size());
  const double pairStays = pair != nullptr ? pair->stay() : 1.0;
  everyPath(word, profile, at + 1, text + word[at],
            channel * pairStays * (single != nullptr ? single->stay() : 1.0), spelled);
  if (single != nullptr)
    for (const Reading& reading : single->readings)
      everyPath(word, profile, at + 1, text + reading.text,
                channel * pairStays * reading.probability, spelled);
  if (pair != nullptr)
    for (const Reading& reading : pair->readings)
      everyPath(word, profile, at + 2, text + reading.text, channel * reading.probability, spelled);
}

TEST(Readings, FindEveryDictionaryWordThatAPathSpellsWithItsLikeliestPath) {
  std::mt19937 random(5);
  for (int book = 0; book < 60; ++book) {
    std::set<std::string> words;
    std::string bytes;
    // Dense in the profile's letters, where the readings lie.
    for (int i = 0; i < 600; ++i) {
      const std::string word =
          i % 2 == 0 ? randomText(random, 1, 6) : randomText(random, 1, 5, kProfileLetters);
      words.insert(word);
      bytes += word + "\n";
    }
    SortedWords lexicon;
    lexicon.assign(bytes);
    const Profile profile = randomProfile(random);
    for (int w = 0; w < 80; ++w) {
      // Half of the words scanned are dictionary words, which read as
      // themselves among others.
      const std::string word = w % 2 == 0   ? *std::next(words.begin(), w % words.size())
                               : w % 4 == 1 ? randomText(random, 1, 6, kProfileLetters)
                                            : randomText(random, 1, 6);
      std::map<std::string, double> spelled;
      everyPath(word, profile, 0, "", 1.0, spelled);
      std::map<std::string, double> expected;
      for (const auto& [text, channel] : spelled) {
        if (channel < kLeastChannel) continue;
        std::string small = text;
        small[0] = static_cast<char>(smallLetterOf(static_cast<unsigned char>(small[0])));
        if (words.count(text) > 0 || words.count(small) > 0) expected[text] = channel;
      }
      const std::vector<Candidate> found = readingsOf(word, profile, lexicon, 1000);
      std::map<std::string, double> got;
      for (const Candidate& candidate : found) got[candidate.text] = candidate.channel;
      ASSERT_EQ(got.size(), expected.size()) << word << "\n" << formatProfile(profile);
      for (const auto& [text, channel] : expected) {
        ASSERT_EQ(got.count(text), 1u) << word << " > " << text << "\n" << formatProfile(profile);
        EXPECT_NEAR(got[text], channel, channel * 1e-12) << word << " > " << text;
      }
      for (std::size_t i = 1; i < found.size(); ++i)
        EXPECT_GE(found[i - 1].channel, found[i].channel) << "the likeliest first";
    }
  }
}

TEST(Readings, ACapitalReadsAsItsSmallDictionaryFormAndKeepsIt) {
  SortedWords lexicon;
  lexicon.assign("vermutlich\nsein\n");
  const std::vector<Candidate> found = readingsOf("Vermutlich", Profile(), lexicon);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].text, "Vermutlich");
  EXPECT_TRUE(readingsOf("fein", Profile(), lexicon).empty());
}

// Every exchange that the search of one-exchange neighbours reports is one
// that the direct test confirms, and the other way round.
TEST(Exchanges, TheDirectTestConfirmsWhatTheSearchReports) {
  std::mt19937 random(11);
  std::string bytes;
  for (int i = 0; i < 3000; ++i)
    bytes += randomText(random, 0, 7, kExchangeLetters) + (i % 3 == 0 ? "\r\n" : "\n");
  SortedWords lexicon;
  lexicon.assign(bytes);
  std::vector<std::string> units;
  for (const char a : kExchangeLetters) {
    units.emplace_back(1, a);
    for (const char b : kExchangeLetters) units.push_back(std::string{a, b});
  }
  for (int trial = 0; trial < 150; ++trial) {
    const std::string word = randomText(random, 0, 6, kExchangeLetters);
    if (word.empty()) continue;
    std::set<std::tuple<std::string, bool, std::string>> reported;
    forEachOneExchange(
        word, lexicon,
        [&](std::string_view scanned, bool atEnd, std::string_view reading, std::string_view) {
          EXPECT_TRUE(reported.emplace(std::string(scanned), atEnd, std::string(reading)).second)
              << "reported once";
        });
    for (const std::string& scanned : units)
      for (const bool atEnd : {false, true})
        for (const std::string& reading : units) {
          if (scanned.size() == 2 && reading.size() == 2) continue;
          EXPECT_EQ(exchangeMakesWord(word, scanned, atEnd, reading, lexicon),
                    reported.count({scanned, atEnd, reading}) == 1)
              << word << ": " << scanned << (atEnd ? " at the end" : "") << " as " << reading;
        }
  }
}

}  // namespace
}  // namespace scanmend
