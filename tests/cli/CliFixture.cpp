#include "CliFixture.h"

#include "registry/DefaultRegistry.h"

namespace hv::test {

CliTest::CliTest() {
  environment_.Set("HUSHVAULT_REGISTRY", (root_ / "registry.db").string());
  environment_.Set("HOME", (root_ / "home").string());
  environment_.Set("XDG_CONFIG_HOME", (root_ / "home/.config").string());
  environment_.Set("XDG_CACHE_HOME", (root_ / "home/.cache").string());
  environment_.Set("XDG_DATA_HOME", (root_ / "home/.local/share").string());
  ReplaceDefaultRegistryBackend(nullptr);  // this process, too, opens the test's own store
  const std::string data = root_.Path().string();
  root_.Write("config/winclean.cln",
              "\"Logs\",\"delete the logs\",2,\"" + data + "/logs/\",\"*.log\",0,0,0\r\n" +
                  "\"Secrets\",\"delete the secrets\",2,\"" + data + "/secrets/\",\"*\",0,0,1\r\n" +
                  "\"Notes\",\"delete the notes\",2,\"" + data + "/notes/\",\"*.txt\",0,0,0\r\n" +
                  "\"Crashes\",\"delete a profile's crash dumps\",7,\"\",\"*.dmp\",0,0,0\r\n");
  root_.Write("config/windows.pick",
              "<!DOCTYPE html><html><body>\n"
              "<label><input type=\"checkbox\" id=\"Logs\" checked> Logs</label>\n"
              "<div><p><input type=checkbox name=\"Secrets\"> Secrets</p></div>\n"
              "<input TYPE=\"CheckBox\" id=\"Notes\"> Notes\n"
              "<input type=\"checkbox\" id=\"Crashes\"> Crashes\n"
              "<script>document.getElementById('Notes').checked = true;</script>\n"
              "</body></html>\n");
  root_.Write("config/webclean.cln",
              "\"Cache\",\"delete the cache\",2,\"" + data + "/cache/\",\"*\",0,0,0\r\n");
  root_.Write("config/web.pick", "<html><body><input type=checkbox id=Cache></body></html>");
}

CliTest::~CliTest() {
  ReplaceDefaultRegistryBackend(nullptr);
}

CliResult CliTest::Cli(const std::vector<std::string>& args, const std::string& input,
                       const std::string& descriptor3) const {
  std::vector<std::string> all{"--config", Config().string()};
  all.insert(all.end(), args.begin(), args.end());
  return RunCli(root_.Path(), all, input, descriptor3);
}

void CliTest::FillFolders() const {
  for (const char* file :
       {"logs/a.log", "logs/b.log", "logs/keep.txt", "secrets/s.key", "notes/n.txt"}) {
    root_.Write(file, std::string("content of ") + file);
  }
}

void CliTest::AddProfiles() const {
  for (const char* profile : {"one.default", "two.default"}) {
    const std::string folder = std::string("home/.mozilla/firefox/") + profile;
    root_.Write(folder + "/prefs.js", "");
    root_.Write(folder + "/crash.dmp", "dump");
  }
}

}  // namespace hv::test
