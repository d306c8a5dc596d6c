#include "lookup/page_generator.h"

#include <algorithm>
#include <random>
#include <vector>

namespace korvane::testing {
namespace {

class Generator {
 public:
  Generator(std::uint32_t seed, bool adversarial) : random_(seed), adversarial_(adversarial) {}

  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

  Text Piece() {
    static const std::vector<Text> kCommon = {
        u"<P>", u"</P>", u"</p>", u"<DIV>", u"</DIV>", u"<b>", u"</b>", u"<a href=\"x\">", u"</a>",
        u"&nbsp;", u"&nbsp;&nbsp;", u"     ", u"  ", u" ", u"\r\n", u"\t", u"word", u"Text", u" .",
        u"Note", u"Important", u"[Obsolete.]", u"Applies to: x", u"(Obsolete; y)", u"\u00C3\u00A9",
        u"\u00E2\u20AC\u2122", u"\u00E2\u20AC\u201C", u"${var}", u"{{tpl}}", u". Note ", u". Caution ",
        u"Syntax</", u"\u007F", u"(", u")", u";", u",", u".", u"<span class=\"c\">", u"</span>"};
    static const std::vector<Text> kOdd = {
        u"<", u">", u"${", u"}", u"{{", u"}}", u"$", u"{", u"{{{", u"}}}", u"<<", u">>", u"<</P>",
        u"${${a}}", u"{{a{{b}}}}", u"<x<y>>", u"]", u"[", u"<br/>", u"<P><P>", u"</P></P>"};
    if (adversarial_ && Pick(3) == 0) return kOdd[Pick(kOdd.size())];
    return kCommon[Pick(kCommon.size())];
  }

  Text Run(std::size_t pieces) {
    Text out;
    for (std::size_t i = 0; i < pieces; ++i) out += Piece();
    return out;
  }

  Text Page(std::size_t size) {
    Text page = u"<html><body>";
    const bool dropToc = adversarial_ && Pick(8) == 0;
    if (!dropToc) page += u"<DIV class=\"toclevel1\"><a href=\"https://h/g.aspx\">" + Group() + u"</a></DIV>";
    if (!(adversarial_ && Pick(6) == 0)) {
      page += u"<div class=\"codeSnippetContainerCode\"><PRE>" + Syntax() + u"</PRE>";
      if (!(adversarial_ && Pick(6) == 0)) page += u"</div>";
    }
    if (!(adversarial_ && Pick(6) == 0)) {
      page += u"<div class=\"clsServerSDKContent\">";
      const std::size_t pieces = std::max<std::size_t>(8, size / 8);
      for (std::size_t done = 0; page.size() < size || done < 8; ++done) {
        page += Run(1 + Pick(4));
        if (done > pieces * 4) break;
      }
      if (!(adversarial_ && Pick(6) == 0)) page += u"<h2>Syntax</h2>";
    }
    const std::size_t entries = Pick(6);
    for (std::size_t i = 0; i < entries; ++i) page += Entry();
    return page + u"</body></html>";
  }

 private:
  Text Group() { return Pick(3) == 0 ? Text(u"Functions") : Run(Pick(3)); }

  Text Syntax() {
    static const std::vector<Text> kNames = {u"Beep", u"Foo", u"MessageBoxW"};
    Text s = Pick(2) == 0 ? u"BOOL WINAPI " : u"HRESULT ";
    s += kNames[Pick(kNames.size())] + u"(\r\n  _In_&nbsp;DWORD dw" + Run(Pick(3)) + u",\r\n  int b";
    if (Pick(4) != 0) s += u");";
    return s;
  }

  Text Entry() {
    static const std::vector<Text> kTitles = {u"Beep (Windows)", u"beep", u"Foo", u"B\u00C9EP", u"x<b>y</b>"};
    Text e = Pick(2) == 0 ? u"<DIV class=\"toclevel2\">" : u"<div class=\"toclevel2 sel\">";
    if (Pick(5) != 0) {
      e += u"<a href=\"";
      e += Pick(3) == 0 ? u"/rel/" : u"https://h/";
      e += Text(1, static_cast<char16_t>(u'a' + Pick(5))) + u"(v=vs.85)";
      if (Pick(6) != 0) e += u".aspx";
      e += u"\">" + kTitles[Pick(kTitles.size())] + u"</a>";
    }
    if (!(adversarial_ && Pick(5) == 0)) e += u"</DIV>";
    return e;
  }

  std::mt19937 random_;
  bool adversarial_;
};

}  // namespace

Text GeneratePage(std::uint32_t seed, std::size_t approximateSize, bool adversarial) {
  return Generator(seed, adversarial).Page(approximateSize);
}

}  // namespace korvane::testing
