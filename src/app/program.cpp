#include "app/program.h"

#include "app/event_loop.h"
#include "app/export_window.h"
#include "app/layout.h"
#include "app/lookup_commands.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/function_list_view.h"
#include "app/program_numbers.h"
#include "docs/docs_file.h"
#include "docs/docs_file_load.h"
#include "docs/offline_page_source.h"
#include "platform/source_location.h"

namespace korvane {

void BuildMainWindow(Session& session) {
  KORVANE_HERE();
  session.catalogueFolder = session.platform.files.WorkingDirectory() + kCatalogueFolderName;
  Gui& gui = session.platform.gui;
  gui.BuildWindow(MainWindowDescription());
  // The layout follows every size change as it happens, also while the user drags the border.
  gui.SetSizeHandler([&gui] { LayoutMainWindow(gui); });
  LayoutMainWindow(gui);
  AttachCheckBoxHook(session);
  // Built right after the main window, which owns it; it stays hidden until "Export PB".
  gui.BuildWindow(ExportWindowDescription());
  gui.ShowWindow(kMainWindow, true);
}

PageSource* ChoosePageSource(Session& session, const PageSourceMakers& makers, std::unique_ptr<PageSource>& owned) {
  const Text& engine = session.lookup.engine;
  if (engine.empty() || engine == kEngineOffline) {
    const Text path = !session.lookup.docsPath.empty() ? session.lookup.docsPath
                      : makers.programFolder.empty()   ? Text()
                                                       : makers.programFolder + kDocsFileName;
    if (std::shared_ptr<const DocumentationSet> set = LoadDocumentationSetFile(session.platform.files, path)) {
      session.documentationSet = set;
      owned = std::make_unique<OfflinePageSource>(std::move(set), PageLoadsToEventLoop(session));
      // The buttons' tips say where the lookups search: here nothing goes online.
      Gui& gui = session.platform.gui;
      gui.SetTooltip(kMsdnChecked, u" Search the offline documentation set for all Checked items ");
      gui.SetTooltip(kMsdnSelected, u" Search the offline documentation set for Selected item ");
      return owned.get();
    }
  }
  if (engine != kEngineHttp && makers.browser) {
    if (PageSource* browser = makers.browser(PageLoadsToEventLoop(session))) return browser;
  }
  if (!makers.http) return nullptr;
  owned = makers.http(PageLoadsToEventLoop(session));
  return owned.get();
}

int RunProgram(Platform& platform, const PageSourceMakers& makers) {
  Session session(platform);
  session.programFolder = makers.programFolder;
  BuildMainWindow(session);
  ApplySettings(session);
  // Declared after the session's use starts and destroyed before it ends: its worker posts no more
  // events once it is gone.
  std::unique_ptr<PageSource> ownedSource;
  session.lookup.source = ChoosePageSource(session, makers, ownedSource);
  DispatchUntilClosed(session);
  session.lookup.source = nullptr;
  ownedSource.reset();
  platform.gui.SetSizeHandler({});
  DetachCheckBoxHook(session);
  return 0;
}

}  // namespace korvane
