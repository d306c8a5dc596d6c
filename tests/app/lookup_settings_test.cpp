#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "app/program_numbers.h"
#include "app/settings.h"
#include "docs/offline_page_source.h"
#include "helpers/headless_program.h"
#include "platform/headless/scripted_page_source.h"

namespace korvane {
namespace {

const Text kPath = u"C:\\Work\\Korvane.ini";

TEST(LookupSettings, EngineBasesAndDocsAreReadWithDefaults) {
  const struct {
    const char* name;
    std::string file;
    Text engine, searchBase, libraryBase, docs;
  } cases[] = {
      {"absent", "[Korvane]\r\nLibDir = C:\\\r\n", u"", Text(kDefaultSearchBase), Text(kDefaultLibraryBase), u""},
      {"set, with blanks, case and a closing slash",
       "[Lookup]\r\nEngine = HTTP \r\nSearchBase = http://127.0.0.1:8080/ \r\nLibraryBase =\r\nDocs = D:\\d\\Korvane.docs\r\n",
       u"http", u"http://127.0.0.1:8080", Text(kDefaultLibraryBase), u"D:\\d\\Korvane.docs"},
  };
  for (const auto& c : cases) {
    MemoryFileSystem files;
    files.AddFile(kPath, c.file);
    const Settings settings = LoadSettings(files);
    EXPECT_EQ(settings.lookupEngine, c.engine) << c.name;
    EXPECT_EQ(settings.searchBase, c.searchBase) << c.name;
    EXPECT_EQ(settings.libraryBase, c.libraryBase) << c.name;
    EXPECT_EQ(settings.docsPath, c.docs) << c.name;
  }
}

// The offline documentation set when one can be read and the settings ask for it or for nothing; the
// browser control when it works and the settings do not ask for HTTP; HTTP otherwise. An HTTP source's
// events reach the loop's queue.
TEST(LookupSettings, ChoosePageSource) {
  const std::string set = "<korvane-docs version=\"1\"><group title=\"G\"><function name=\"Beep\" return=\"BOOL\"/>"
                          "</group></korvane-docs>";
  const struct {
    const char* name;
    const char16_t* engine;
    const char16_t* docsSetting;  // "Lookup" / "Docs"
    bool besideProgram;           // a readable Korvane.docs in the program's folder
    bool browserWorks, httpAvailable;
    const char* chosen;
  } cases[] = {
      {"browser works", u"browser", u"", false, true, true, "browser"},
      {"browser does not work", u"browser", u"", false, false, true, "http"},
      {"http asked for", u"http", u"", true, true, true, "http"},
      {"nothing asked, no set", u"", u"", false, true, true, "browser"},
      {"nothing asked, set beside the program", u"", u"", true, true, true, "offline"},
      {"browser asked, set beside the program", u"browser", u"", true, true, true, "browser"},
      {"offline asked, set named", u"offline", u"D:\\Sets\\api.docs", false, true, true, "offline"},
      {"offline asked, named set missing", u"offline", u"D:\\Sets\\none.docs", true, false, true, "http"},
      {"offline asked, set is not one", u"offline", u"D:\\Sets\\bad.docs", false, true, true, "browser"},
      {"nothing", u"browser", u"", false, false, false, "none"},
  };
  for (const auto& c : cases) {
    testing::HeadlessProgram program;
    program.files.AddFile(u"D:\\Sets\\api.docs", set);
    program.files.AddFile(u"D:\\Sets\\bad.docs", "<catalogue/>");
    if (c.besideProgram) program.files.AddFile(u"C:\\Korvane\\Korvane.docs", set);
    program.session.lookup.engine = c.engine;
    program.session.lookup.docsPath = c.docsSetting;
    ScriptedPageSource browser([](const PageLoad&) {});
    PageSourceMakers makers;
    makers.programFolder = u"C:\\Korvane\\";
    makers.browser = [&](PageLoadHandler) -> PageSource* { return c.browserWorks ? &browser : nullptr; };
    if (c.httpAvailable) {
      // The handler the program gives a source turns each load into an event of the main loop.
      makers.http = [](PageLoadHandler onLoad) -> std::unique_ptr<PageSource> {
        onLoad({u"x", false, {}});
        return std::make_unique<ScriptedPageSource>(std::move(onLoad));
      };
    }
    std::unique_ptr<PageSource> owned;
    PageSource* chosen = ChoosePageSource(program.session, makers, owned);
    const bool offline = dynamic_cast<OfflinePageSource*>(chosen) != nullptr;
    const std::string name = chosen == nullptr ? "none" : chosen == &browser ? "browser" : offline ? "offline" : "http";
    EXPECT_EQ(name, c.chosen) << c.name;
    EXPECT_EQ(owned.get() != nullptr, name == "http" || name == "offline") << c.name;
    EXPECT_EQ(program.gui.PendingEvents().size(), name == "http" ? 1u : 0u) << c.name;
  }
}

// The lookup buttons' tips say where they search: online, or in the offline set when that is in use.
TEST(LookupSettings, TheButtonsTipsNameTheOfflineSetWhenItIsUsed) {
  const std::string set = "<korvane-docs version=\"1\"><group title=\"G\"><function name=\"Beep\"/></group></korvane-docs>";
  for (const bool offline : {false, true}) {
    testing::HeadlessProgram program;
    if (offline) program.files.AddFile(u"C:\\Korvane\\Korvane.docs", set);
    program.Start();
    PageSourceMakers makers;
    makers.programFolder = u"C:\\Korvane\\";
    makers.http = [](PageLoadHandler onLoad) -> std::unique_ptr<PageSource> {
      return std::make_unique<ScriptedPageSource>(std::move(onLoad));
    };
    std::unique_ptr<PageSource> owned;
    ChoosePageSource(program.session, makers, owned);
    for (const int button : {kMsdnChecked, kMsdnSelected}) {
      const Text& tip = program.gui.Control(button).description.tooltip;
      EXPECT_EQ(tip.find(u"online") == Text::npos, offline) << TextToUtf8(tip);
      EXPECT_EQ(tip.find(u"offline documentation set") != Text::npos, offline) << TextToUtf8(tip);
    }
  }
}

}  // namespace
}  // namespace korvane
