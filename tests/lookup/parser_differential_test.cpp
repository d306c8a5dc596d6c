// The one-pass parser against the step-by-step one (literal_parser), on seeded random input.

#include <gtest/gtest.h>

#include <random>

#include "lookup/literal_parser.h"
#include "lookup/page_generator.h"
#include "lookup/reference_page.h"

namespace korvane {
namespace {

void ExpectSame(const std::optional<ReferencePageData>& fast, const std::optional<ReferencePageData>& slow,
                const Text& page) {
  ASSERT_EQ(fast.has_value(), slow.has_value()) << TextToUtf8(page);
  if (!fast) return;
  EXPECT_EQ(fast->Parameters, slow->Parameters) << TextToUtf8(page);
  EXPECT_EQ(fast->Return, slow->Return) << TextToUtf8(page);
  EXPECT_EQ(fast->Description, slow->Description) << TextToUtf8(page);
  EXPECT_EQ(fast->Group, slow->Group) << TextToUtf8(page);
  EXPECT_EQ(fast->siblings, slow->siblings) << TextToUtf8(page);
}

TEST(ParserDifferential, GeneratedPagesParseAlike) {
  for (std::uint32_t seed = 1; seed <= 2000; ++seed) {
    const bool adversarial = seed % 2 == 0;
    const Text page = testing::GeneratePage(seed, 200 + seed % 700, adversarial);
    ExpectSame(ParseReferencePage(page, u"Beep", u"kernel32"),
               literal::ParseReferencePage(page, u"Beep", u"kernel32"), page);
    if (HasFailure()) return;
  }
}

// Short texts over the characters the passes react to: openers, closers, "$", "/P", tag marks,
// blanks. These reach the corners (unclosed openers, pieces cut from pieces, openers joined by a cut,
// repetitions running out) far more often than whole pages do.
TEST(ParserDifferential, SectionsOfDenseMarkupCleanAlike) {
  static const std::u16string kAlphabet = u"<<>>${{}}}aP/ \u007F[]";
  std::mt19937 random(7);
  for (int i = 0; i < 8000; ++i) {
    Text body;
    const std::size_t length = random() % 40;
    for (std::size_t k = 0; k < length; ++k) body += kAlphabet[random() % kAlphabet.size()];
    if (random() % 4 == 0) body.insert(random() % (body.size() + 1), u"</P>");
    for (const SectionMode mode : {SectionMode::PlainMode, SectionMode::NoticeMode}) {
      const Text page = u"<S>" + body + u"<E>";
      ASSERT_EQ(ExtractSection(page, u"<s>", u"<e>", mode), literal::ExtractSection(page, u"<s>", u"<e>", mode))
          << TextToUtf8(body);
    }
    const Text toc = u"<div class=\"toclevel1\">" + body + u"</div><DIV class=\"toclevel2\"><a href=\"http://h/a.aspx\">" +
                     body + u"(x)</DIV>";
    ExpectSame(ParseReferencePage(toc, u"F", u"k"), literal::ParseReferencePage(toc, u"F", u"k"), toc);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace korvane
