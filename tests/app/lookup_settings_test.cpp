#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "app/settings.h"
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
      {"absent", "[Korvane]\r\nLibDir = C:\\\r\n", u"browser", Text(kDefaultSearchBase), Text(kDefaultLibraryBase), u""},
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

// The browser control when it works and the settings do not ask for HTTP; HTTP otherwise. An HTTP
// source's events reach the loop's queue.
TEST(LookupSettings, ChoosePageSource) {
  const struct {
    const char* name;
    const char16_t* engine;
    bool browserWorks, httpAvailable;
    const char* chosen;
  } cases[] = {
      {"browser works", u"browser", true, true, "browser"},
      {"browser does not work", u"browser", false, true, "http"},
      {"http asked for", u"http", true, true, "http"},
      {"offline not built in", u"offline", true, true, "browser"},
      {"nothing", u"browser", false, false, "none"},
  };
  for (const auto& c : cases) {
    testing::HeadlessProgram program;
    program.session.lookup.engine = c.engine;
    ScriptedPageSource browser([](const Event&) {});
    PageSourceMakers makers;
    makers.browser = [&]() -> PageSource* { return c.browserWorks ? &browser : nullptr; };
    if (c.httpAvailable) {
      makers.http = [](std::function<void(const Event&)> post) -> std::unique_ptr<PageSource> {
        post({kEventControl, kMainWindow, kBrowser, kTypePageLoaded, {}, u"x", {}});
        return std::make_unique<ScriptedPageSource>(std::move(post));
      };
    }
    std::unique_ptr<PageSource> owned;
    PageSource* chosen = ChoosePageSource(program.session, makers, owned);
    const std::string name = chosen == nullptr ? "none" : chosen == &browser ? "browser" : "http";
    EXPECT_EQ(name, c.chosen) << c.name;
    EXPECT_EQ(owned.get() != nullptr, name == "http") << c.name;
    EXPECT_EQ(program.gui.PendingEvents().size(), name == "http" ? 1u : 0u) << c.name;
  }
}

}  // namespace
}  // namespace korvane
