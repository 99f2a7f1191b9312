// The setup program as users run it: silent installs and uninstalls into a
// private player folder named by the player's registry value, checked on the
// files, the list of installed programs and the stand-in player.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testkit/player_process.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\gen_klv";
constexpr char kPlayerClass[] = "Winamp v1.x";
constexpr DWORD kProcessTimeoutMs = 60000;
constexpr char kSettings[] =
    "[Hotkeys]\r\nEnable=1\r\n[HotKeys]\r\nnext_hotkey=0x004E0003\r\n; kept as the user left it\n"
    "[OSD]\r\nEnable=1\r\nOSDFontName=Courier New";

// A Windows path: the build hands the suites Unix paths, which Wine reads from
// the current drive but which a command line must not carry.
std::string EnvWindowsPath(const char* name) {
  const std::string value = EnvPath(name);
  char full[MAX_PATH];
  DWORD size = GetFullPathNameA(value.c_str(), MAX_PATH, full, nullptr);
  return size > 0 && size < MAX_PATH ? full : value;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One child process: started at construction, terminated at the end if it still runs.
class ChildProcess {
 public:
  explicit ChildProcess(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
      process_ = PROCESS_INFORMATION{};
    }
  }
  ~ChildProcess() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  DWORD Id() const { return process_.dwProcessId; }
  // Its exit code once it has ended, or -1 when it did not start or end in time.
  long ExitCode(DWORD timeoutMs = kProcessTimeoutMs) const {
    DWORD code = static_cast<DWORD>(-1);
    if (process_.hProcess == nullptr || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
      return -1;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
};

long RunToEnd(const std::string& commandLine) { return ChildProcess(commandLine).ExitCode(); }

std::string SetupCommand(const std::string& arguments) {
  return "\"" + EnvWindowsPath("KLV_INSTALLER") + "\" " + arguments;
}

// The visible message box (a dialog with its text control), or wizard page,
// of another process; null once the deadline passed.
HWND AwaitDialog(const ChildProcess& child, bool messageBox) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : ProcessWindows(child.Id(), L"#32770", true)) {
          if ((GetDlgItem(dialog, 0xFFFF) != nullptr) == messageBox) found = dialog;
        }
        return found != nullptr;
      },
      kProcessTimeoutMs);
  return found;
}

std::string MessageText(HWND messageBox) {
  char text[512] = "";
  GetDlgItemTextA(messageBox, 0xFFFF, text, sizeof text);
  return text;
}

// Presses a button as the user would; the dialog runs in the other process.
void Press(HWND dialog, int buttonId) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

long RunSetup(const std::string& arguments) { return RunToEnd(SetupCommand(arguments)); }

bool UninstallEntryExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::string UninstallValue(const char* name) {
  char buffer[1024] = "";
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return "<missing>";
  }
  return buffer;
}

// Everything the setup program may leave in one player folder.
struct PluginFolder {
  explicit PluginFolder(std::string playerDir) : dir(std::move(playerDir)) {}
  std::string dir;
  std::string Plugins() const { return dir + "\\Plugins"; }
  std::string Dll() const { return Plugins() + "\\gen_klv.dll"; }
  std::string Ini() const { return Plugins() + "\\gen_klv.ini"; }
  std::string Uninstaller() const { return Plugins() + "\\uninstall_gen_klv.exe"; }
  void Clear() const {
    for (const std::string& file :
         {Dll(), Ini(), Uninstaller(), dir + "\\player.exe", dir + "\\player.ini", dir + "\\player.log"}) {
      DeleteFileA(file.c_str());
    }
  }
};

// The built DLL as an older release of it: the same image with "1.0 beta 2"
// in its version resource, so that it still loads and starts but differs.
std::string OlderRelease(const std::string& dll) {
  const std::u16string version = u"1.0 beta 3";
  const std::string bytes(reinterpret_cast<const char*>(version.data()), version.size() * 2);
  std::string older = dll;
  const size_t at = older.find(bytes);
  if (at == std::string::npos) return "";
  older[at + bytes.size() - 2] = '2';
  return older;
}

// The settings file in the player's per-user folder, %APPDATA%\Winamp, its folders made.
std::string UserSettingsFile() {
  char appData[MAX_PATH] = "";
  const std::string winamp =
      std::string(appData, GetEnvironmentVariableA("APPDATA", appData, MAX_PATH)) + "\\Winamp";
  CreateDirectoryA(winamp.c_str(), nullptr);
  CreateDirectoryA((winamp + "\\Plugins").c_str(), nullptr);
  return winamp + "\\Plugins\\gen_klv.ini";
}

class Installer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(EnvWindowsPath("KLV_INSTALLER"))) << "no setup program in %KLV_INSTALLER%";
    ASSERT_EQ(FindWindowA(kPlayerClass, nullptr), nullptr) << "a player window is left from elsewhere";
    builtDll_ = ReadWholeFile(EnvWindowsPath("KLV_DLL"));
    ASSERT_FALSE(builtDll_.empty());
    RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
  }
  void TearDown() override {
    folder_.Clear();
    DeleteFileA(UserSettingsFile().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
  }

  TestInstall install_;  // the player's folder, named by HKCU\Software\Winamp
  PluginFolder folder_{install_.Directory()};
  std::string builtDll_;
};

TEST_F(Installer, SilentInstallPutsTheBuiltDllIntoThePlayersPluginsFolder) {
  ASSERT_EQ(RunSetup("/S"), 0);

  EXPECT_TRUE(ReadWholeFile(folder_.Dll()) == builtDll_) << "the installed DLL differs from the built one";
  EXPECT_TRUE(FileExists(folder_.Uninstaller()));
  EXPECT_FALSE(FileExists(folder_.Ini())) << "setup must not create the settings file";
  EXPECT_EQ(UninstallValue("DisplayVersion"), "1.0 beta 3");
  EXPECT_EQ(UninstallValue("UninstallString"), "\"" + folder_.Uninstaller() + "\"");
  EXPECT_EQ(UninstallValue("InstallLocation"), install_.Directory());
}

TEST_F(Installer, ReplacesAnOlderDllAndLeavesTheSettingsFileByteForByte) {
  ASSERT_TRUE(WriteWholeFile(folder_.Dll(), "an older gen_klv.dll"));
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));

  ASSERT_EQ(RunSetup("/S"), 0);

  EXPECT_TRUE(ReadWholeFile(folder_.Dll()) == builtDll_);
  EXPECT_EQ(ReadWholeFile(folder_.Ini()), kSettings);
}

TEST_F(Installer, DirectoryOnTheCommandLineWinsOverTheRegistry) {
  TestInstall other;  // its folder, while the registry names it, then the first folder again
  TestInstall::SetRegistryValue(install_.Directory());
  PluginFolder chosen(other.Directory());

  ASSERT_EQ(RunSetup("/S /D=" + chosen.dir), 0);

  EXPECT_TRUE(ReadWholeFile(chosen.Dll()) == builtDll_);
  EXPECT_FALSE(FileExists(folder_.Dll()));
  EXPECT_EQ(UninstallValue("InstallLocation"), chosen.dir);
  chosen.Clear();
}

TEST_F(Installer, WithoutTheRegistryValueInstallsIntoTheProgramFolder) {
  TestInstall::DeleteRegistryValue();
  char programFiles[MAX_PATH] = "";
  ASSERT_GT(GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH), 0u);
  PluginFolder standard(std::string(programFiles) + "\\Winamp");
  const bool existedBefore = FileExists(standard.dir);

  ASSERT_EQ(RunSetup("/S"), 0);

  EXPECT_TRUE(ReadWholeFile(standard.Dll()) == builtDll_);
  EXPECT_FALSE(FileExists(folder_.Dll()));
  standard.Clear();
  if (!existedBefore) {
    RemoveDirectoryA(standard.Plugins().c_str());
    RemoveDirectoryA(standard.dir.c_str());
  }
}

TEST_F(Installer, InstalledPluginStartsInTheStandInPlayer) {
  ASSERT_EQ(RunSetup("/S"), 0);

  PlayerProcess player(install_, PluginSource::kAsInstalled);
  EXPECT_EQ(player.InitResult(), 0);
  EXPECT_TRUE(player.Quit());
}

TEST_F(Installer, SilentInstallWhileThePlayerRunsFailsAndChangesNothing) {
  const std::string older = OlderRelease(builtDll_);
  ASSERT_FALSE(older.empty()) << "no version text in the built DLL";
  ASSERT_TRUE(WriteWholeFile(folder_.Dll(), older));
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));
  PlayerProcess player(install_, PluginSource::kAsInstalled);
  ASSERT_EQ(player.InitResult(), 0);

  EXPECT_NE(RunSetup("/S"), 0);

  EXPECT_TRUE(ReadWholeFile(folder_.Dll()) == older) << "the running player's DLL was replaced";
  EXPECT_EQ(ReadWholeFile(folder_.Ini()), kSettings);
  EXPECT_FALSE(FileExists(folder_.Uninstaller()));
  EXPECT_FALSE(UninstallEntryExists());
  EXPECT_TRUE(player.Quit());
}

TEST_F(Installer, SilentFirstInstallWhileThePlayerRunsFailsAndCreatesNothing) {
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));
  PlayerProcess player(install_, PluginSource::kAsInstalled);
  ASSERT_NE(player.MainWindow(), nullptr);

  EXPECT_NE(RunSetup("/S"), 0);

  EXPECT_FALSE(FileExists(folder_.Dll()));
  EXPECT_FALSE(FileExists(folder_.Uninstaller()));
  EXPECT_FALSE(UninstallEntryExists());
  EXPECT_EQ(ReadWholeFile(folder_.Ini()), kSettings);
  EXPECT_TRUE(player.Quit());
}

TEST_F(Installer, AsksToCloseTheRunningPlayerAndInstallsOnRetry) {
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));
  auto player = std::make_unique<PlayerProcess>(install_, PluginSource::kAsInstalled);
  ASSERT_NE(player->MainWindow(), nullptr);

  ChildProcess setup(SetupCommand(""));
  HWND question = AwaitDialog(setup, true);
  ASSERT_NE(question, nullptr) << "no question about the running player";
  EXPECT_NE(MessageText(question).find("Close Winamp"), std::string::npos) << MessageText(question);
  EXPECT_FALSE(FileExists(folder_.Dll())) << "installed before the player was closed";

  ASSERT_TRUE(player->Quit());
  player.reset();
  Press(question, IDRETRY);
  // The folder page waits, filled in from the registry: "Install", then "Close".
  HWND wizard = AwaitDialog(setup, false);
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(WaitUntil([&] { return UninstallEntryExists(); }, 1000));
  Press(wizard, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return UninstallEntryExists(); }, kProcessTimeoutMs));
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(GetDlgItem(wizard, IDOK)) != FALSE; }, kProcessTimeoutMs));
  Press(wizard, IDOK);

  EXPECT_EQ(setup.ExitCode(), 0);
  EXPECT_TRUE(ReadWholeFile(folder_.Dll()) == builtDll_);
  EXPECT_EQ(ReadWholeFile(folder_.Ini()), kSettings);
}

TEST_F(Installer, CancelWhileThePlayerRunsLeavesEverythingAsItWas) {
  PlayerProcess player(install_, PluginSource::kAsInstalled);
  ASSERT_NE(player.MainWindow(), nullptr);

  ChildProcess setup(SetupCommand(""));
  HWND question = AwaitDialog(setup, true);
  ASSERT_NE(question, nullptr);
  Press(question, IDCANCEL);

  EXPECT_NE(setup.ExitCode(), 0);
  EXPECT_FALSE(FileExists(folder_.Dll()));
  EXPECT_FALSE(FileExists(folder_.Uninstaller()));
  EXPECT_FALSE(UninstallEntryExists());
  EXPECT_TRUE(player.Quit());
}

TEST_F(Installer, UninstallerRemovesTheSettingsWhenTheUserSaysSo) {
  ASSERT_EQ(RunSetup("/S"), 0);
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));
  ASSERT_TRUE(WriteWholeFile(UserSettingsFile(), kSettings));

  // _?= keeps it in place, so the test can wait for its end; it cannot remove itself then.
  ChildProcess uninstall("\"" + folder_.Uninstaller() + "\" _?=" + folder_.Plugins());
  HWND confirm = AwaitDialog(uninstall, false);
  ASSERT_NE(confirm, nullptr);
  Press(confirm, IDOK);  // "Uninstall"
  HWND question = AwaitDialog(uninstall, true);
  ASSERT_NE(question, nullptr) << "no question about the settings";
  EXPECT_NE(MessageText(question).find("gen_klv.ini"), std::string::npos) << MessageText(question);
  Press(question, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return !UninstallEntryExists(); }, kProcessTimeoutMs));
  HWND finished = AwaitDialog(uninstall, false);
  ASSERT_NE(finished, nullptr);
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(GetDlgItem(finished, IDOK)) != FALSE; }, kProcessTimeoutMs));
  Press(finished, IDOK);

  EXPECT_EQ(uninstall.ExitCode(), 0);
  EXPECT_FALSE(FileExists(folder_.Dll()));
  EXPECT_FALSE(FileExists(folder_.Ini()));
  EXPECT_FALSE(FileExists(UserSettingsFile()));
}

TEST_F(Installer, SilentUninstallRemovesDllEntryAndItselfAndKeepsTheSettings) {
  ASSERT_EQ(RunSetup("/S"), 0);
  ASSERT_TRUE(WriteWholeFile(folder_.Ini(), kSettings));
  ASSERT_TRUE(WriteWholeFile(UserSettingsFile(), kSettings));
  ASSERT_TRUE(UninstallEntryExists());

  // Started as the list of installed programs starts it: the uninstaller runs
  // on from a copy of itself, so the removal is awaited, not the process.
  ASSERT_EQ(RunToEnd("\"" + folder_.Uninstaller() + "\" /S"), 0);
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(folder_.Uninstaller()); }, 30000))
      << "the uninstaller is still there";

  EXPECT_FALSE(FileExists(folder_.Dll()));
  EXPECT_FALSE(UninstallEntryExists());
  EXPECT_EQ(ReadWholeFile(folder_.Ini()), kSettings);
  EXPECT_EQ(ReadWholeFile(UserSettingsFile()), kSettings);
}

TEST_F(Installer, SilentUninstallWhileThePlayerRunsFailsAndChangesNothing) {
  ASSERT_EQ(RunSetup("/S"), 0);
  PlayerProcess player(install_, PluginSource::kAsInstalled);
  ASSERT_EQ(player.InitResult(), 0);

  // _?= runs the uninstaller in place, so its exit code is the answer.
  EXPECT_NE(RunToEnd("\"" + folder_.Uninstaller() + "\" /S _?=" + folder_.Plugins()), 0);

  EXPECT_TRUE(ReadWholeFile(folder_.Dll()) == builtDll_);
  EXPECT_TRUE(FileExists(folder_.Uninstaller()));
  EXPECT_TRUE(UninstallEntryExists());
  EXPECT_TRUE(player.Quit());
}

}  // namespace
