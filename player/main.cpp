// A stand-in for the host media player: three windows with the host's class
// names, the host's requests and commands, and its plug-in lifecycle.
#include <windows.h>

#include <cstdlib>

#include "player/demo_library.h"
#include "player/host_codes.h"
#include "player/message_log.h"
#include "player/options.h"
#include "player/player_app.h"
#include "player/player_profile.h"
#include "player/track_titles.h"

namespace player {

PlayerApp* gApp = nullptr;

namespace {

// Modeless dialogs (the plug-ins' and our jump list) need the loop's help
// for Tab, Enter and Escape.
bool RouteDialogMessage(MSG& message) {
  if (message.hwnd == nullptr) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (root == nullptr) return false;
  char className[16] = "";
  GetClassNameA(root, className, sizeof className);
  bool isDialog = lstrcmpA(className, "#32770") == 0 || root == gApp->jumpWindow;
  return isDialog && (gApp->classicHost ? IsDialogMessageA : IsDialogMessageW)(root, &message);
}

// The loop of the windows' kind: an 8-bit loop would pass typed characters
// through the code page on their way to Unicode windows.
int RunMessageLoop() {
  const bool wide = !gApp->classicHost;
  MSG message;
  while ((wide ? GetMessageW : GetMessageA)(&message, nullptr, 0, 0) > 0) {
    if (RouteDialogMessage(message)) continue;
    TranslateMessage(&message);
    (wide ? DispatchMessageW : DispatchMessageA)(&message);
  }
  return static_cast<int>(message.wParam);
}

void ShutDown() {
  UnloadPlugins(gApp->plugins);
  RestoreOwnWindowProcedures();
  // The player goes on answering after its plug-ins are gone.
  LRESULT position = SendMessageA(gApp->mainWindow, WM_USER, 0, klv::kHostPosition);
  LogEvent("position after unload %ld", static_cast<long>(position));
  SavePlayerState(gApp->directory, gApp->playback);
  DestroyPlayerWindows();
  LogEvent("exit");
}

}  // namespace
}  // namespace player

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace player;
  Options options;
  std::string error;
  if (!ParseOptions(__argc, __argv, options, error)) {
    MessageBoxA(nullptr, error.c_str(), "Winamp stand-in", MB_OK | MB_ICONERROR);
    return 2;
  }
  if (!options.logPath.empty() && !OpenMessageLog(options.logPath.c_str())) return 3;

  const std::string directory = ExeDirectory();
  std::vector<Track> tracks = WithBothTitles(DemoPlaylist());
  PlaceDemoLibrary(directory, tracks);
  static PlayerApp app{
      directory, Playback(std::move(tracks), GetTickCount()), nullptr, nullptr, nullptr, nullptr, {}, 0};
  gApp = &app;
  app.exitAfterMs = options.exitAfterMs;
  app.wideTitles = options.wideTitles;
  app.classicHost = options.classicHost;
  // Serves the pictures beside the files, as the 5.x player's album art service
  // does for files without a picture of their own.
  if (!app.classicHost) app.albumArt = std::make_unique<AlbumArtService>(ReadPictureBeside);
  LogEvent("directory %s", app.directory.c_str());
  if (options.writeRegistry) {
    bool written = WriteInstallDirectory(app.directory);
    LogEvent("registry %s", written ? "written" : "not written");
  }
  if (options.perUser) app.settingsFolder = PerUserSettingsFolder();
  LoadPlayerState(app.directory, app.playback);
  LogEvent("entry %d", app.playback.Index());

  if (!RegisterPlayerClasses(instance) || !CreatePlayerWindows(instance)) {
    LogEvent("cannot create the windows");
    return 1;
  }
  app.plugins = LoadPlugins(app.directory, app.mainWindow);
  LogEvent("%u plug-in(s) running", static_cast<unsigned>(app.plugins.size()));

  int exitCode = RunMessageLoop();
  ShutDown();
  CloseMessageLog();
  return exitCode;
}
