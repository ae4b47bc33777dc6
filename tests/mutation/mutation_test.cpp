// The mutation test: the generator makes the mistakes it names, the unmutated games raise no alarm,
// and a seeded sample of every kind is detected at least at the rates of minimum_rates.h.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/codec.h"
#include "harness.h"
#include "minimum_rates.h"

namespace marvo::mutation {
namespace {

std::vector<std::string> w(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(utf8ToCp1251(s));
  return out;
}

// The one mutant of `kind` in `text`, as UTF-8 lines of the mutated text ("" when there is none or several).
std::vector<std::string> mutated(Kind kind, const std::vector<std::string>& text, std::uint64_t seed = 1) {
  const auto all = mutantsOf(kind, text, seed);
  if (all.size() != 1) return {};
  std::vector<std::string> out;
  for (const auto& l : apply(text, all[0])) out.push_back(cp1251ToUtf8(l));
  return out;
}

TEST(MutationGenerator, MakesTheMistakeItNamesAndNothingElse) {
  EXPECT_EQ(mutated(Kind::IfAsFi, w({"IF x=1", "!да", "ENDIF"})), (std::vector<std::string>{"FI x=1", "!да", "ENDIF"}));
  EXPECT_EQ(mutated(Kind::AtAsQuote, w({":a", "@Комната.%"})), (std::vector<std::string>{":a", "\"Комната.%"}));
  EXPECT_EQ(mutated(Kind::DroppedBang, w({"  !Текст"})), (std::vector<std::string>{"  Текст"}));
  EXPECT_EQ(mutated(Kind::DeletedRead, w({":a", "READ", ":b"})), (std::vector<std::string>{":a", "", ":b"}));
  EXPECT_EQ(mutated(Kind::NegativeLiteral, w({"x = 5", "x = y"})), (std::vector<std::string>{"x = -5", "x = y"}));
  EXPECT_EQ(mutated(Kind::SpacedProperty, w({"ключ_Описание=Медный ключ"})),
            (std::vector<std::string>{"ключ_Описание = Медный ключ"}));
  EXPECT_EQ(mutated(Kind::NotEqualLocation, w({"IF LOCATION = сад", "IF x = 1"})),
            (std::vector<std::string>{"IF LOCATION <> сад", "IF x = 1"}));
  EXPECT_EQ(mutated(Kind::Utf8Bytes, w({"!Шумная"}))[0], "!" + cp1251ToUtf8("Шумная"));
  // Comments, lines the mistake does not fit and swaps of equal lines give no mutant.
  EXPECT_EQ(mutated(Kind::SwapLines, w({"* x", "REDO", "REDO", "READ"})),
            (std::vector<std::string>{"* x", "REDO", "READ", "REDO"}));
  EXPECT_TRUE(mutantsOf(Kind::TalkPattern, w({"!TALK в тексте", "* TALK север"}), 1).empty());
  // A name misspelt keeps the keyword, the property and the value.
  const auto name = mutated(Kind::MisspeltName, w({"IF сундук_открыт=1", "IF LOCATION = сад"}));
  ASSERT_EQ(name.size(), 2u);
  EXPECT_NE(name[0], "IF сундук_открыт=1");
  EXPECT_TRUE(name[0].starts_with("IF с") && name[0].ends_with("_открыт=1")) << name[0];

  // Every kind over a real game: each mutant changes exactly the lines it names, the same seed
  // gives the same mutants, another seed other variants.
  const Corpus corpus = loadCorpus(MARVO_SOURCE_DIR);
  const auto& text = corpus.games.at(0).scenario;
  std::size_t differ = 0, total = 0;
  for (std::size_t k = 0; k < kKindCount; ++k) {
    const Kind kind = static_cast<Kind>(k);
    const auto a = mutantsOf(kind, text, 7), b = mutantsOf(kind, text, 7), c = mutantsOf(kind, text, 8);
    ASSERT_EQ(a.size(), b.size()) << kindName(kind);
    for (std::size_t i = 0; i < a.size(); ++i) {
      const auto after = apply(text, a[i]);
      std::size_t changed = 0;
      for (std::size_t n = 0; n < text.size(); ++n) {
        if (after[n] == text[n]) continue;
        ++changed;
        EXPECT_NE(std::find(a[i].lines.begin(), a[i].lines.end(), static_cast<int>(n) + 1), a[i].lines.end())
            << kindName(kind) << " changed line " << n + 1;
      }
      EXPECT_EQ(changed, a[i].edits.size()) << kindName(kind);
      EXPECT_EQ(a[i].edits[0].text, b[i].edits[0].text);
      if (i < c.size() && c[i].edits[0].line == a[i].edits[0].line) {
        ++total;
        differ += c[i].edits[0].text != a[i].edits[0].text;
      }
    }
  }
  EXPECT_GT(differ, total / 10);
}

TEST(Mutation, SampleOfEveryKindIsDetectedAtLeastAtTheMinimumRates) {
  const Corpus corpus = loadCorpus(MARVO_SOURCE_DIR);
  // The oracle and the subject must be silent on the games as shipped.
  const auto alarms = falseAlarms(corpus);
  for (const auto& a : alarms) ADD_FAILURE() << "on the unmutated games: " << a;

  std::vector<Planted> mutants;
  for (std::size_t k = 0; k < kKindCount; ++k)
    for (auto& p : sample(plantable(corpus, static_cast<Kind>(k), kSampleSeed), kSamplePerKind, kSampleSeed + k))
      mutants.push_back(std::move(p));
  ASSERT_GT(mutants.size(), 200u);
  const Outcome outcome = judgeAll(corpus, mutants, 2);
  std::fputs(report(outcome).c_str(), stdout);

  EXPECT_EQ(outcome.total.crashed, 0);
  ASSERT_EQ(std::size(kMinimumRates), kKindCount);
  for (const auto& min : kMinimumRates) {
    const Figures& f = outcome.perKind[static_cast<std::size_t>(min.kind)];
    const auto name = kindName(min.kind);
    EXPECT_GT(f.mutants, 0) << name;
    EXPECT_GE(percent(f.breakingReported, f.breaking), min.reported) << name << ": reported of breaking";
    EXPECT_GE(percent(f.breakingRightLine, f.breaking), min.rightLine) << name << ": on the right line";
    EXPECT_GE(percent(f.breakingErrors, f.breaking), min.asErrors) << name << ": as errors";
    EXPECT_GE(percent(f.reported, f.mutants), min.allReported) << name << ": reported of all";
  }
  const Figures& t = outcome.total;
  EXPECT_GE(percent(t.breakingReported, t.breaking), kMinimumOverall.reported) << "reported of breaking";
  EXPECT_GE(percent(t.breakingRightLine, t.breaking), kMinimumOverall.rightLine) << "on the right line";
  EXPECT_GE(percent(t.breakingErrors, t.breaking), kMinimumOverall.asErrors) << "as errors";
  EXPECT_GE(percent(t.reported, t.mutants), kMinimumOverall.allReported) << "reported of all";
}

}  // namespace
}  // namespace marvo::mutation
