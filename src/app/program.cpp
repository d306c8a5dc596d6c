#include "app/program.h"

#include "app/event_loop.h"
#include "app/export_window.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/function_list_view.h"
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

int RunProgram(Platform& platform) {
  Session session(platform);
  BuildMainWindow(session);
  RunEventLoop(session);
  platform.gui.SetSizeHandler({});
  DetachCheckBoxHook(session);
  return 0;
}

}  // namespace korvane
