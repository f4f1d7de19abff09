// hushvault-cli: the cleaners, their presets and File Protection, for scripts and
// scheduled runs; the engine alone, without a window.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CleanCommand.h"
#include "cli/CommandError.h"
#include "cli/FileCommands.h"
#include "cli/PasswordSource.h"
#include "cli/PresetCommands.h"
#include "platform/ExecutableName.h"

namespace hv::cli {
namespace {

// The --windows / --web pair of a command; neither chooses the default.
struct CleanerChoice {
  bool windows = false;
  bool web = false;

  void AddTo(CLI::App& command) {
    CLI::Option* windowsFlag = command.add_flag("--windows", windows, "the Windows cleaner");
    command.add_flag("--web", web, "the Web cleaner")->excludes(windowsFlag);
  }
  const Cleaner& Chosen() const { return web ? kWebCleaner : kWindowsCleaner; }
};

// Where a File Protection command takes its password from, when not from the terminal.
struct PasswordChoice {
  std::string file;
  int descriptor = -1;
  std::string refusedValue;
  CLI::Option* refused = nullptr;

  void AddTo(CLI::App& command) {
    CLI::Option* fileOption =
        command.add_option("--password-file", file, "read the password from the file's first line");
    command.add_option("--password-fd", descriptor, "read the password from this descriptor")
        ->excludes(fileOption);
    // Never offered: a password on the command line is visible to every user.
    refused = command.add_option("--password", refusedValue)->group("");
  }
  void RefuseArgument() const {
    if (refused->count() > 0) {
      throw CommandError(ExitStatus::kUsage,
                         "a password is never taken from the command line, where other users "
                         "can see it; use --password-file or --password-fd");
    }
  }
  std::optional<std::string> Read() const {
    if (!file.empty()) {
      return PasswordFromFile(file);
    }
    if (descriptor >= 0) {
      return PasswordFromDescriptor(descriptor);
    }
    return std::nullopt;
  }
};

int Run(int argc, char** argv) {
  CLI::App app{
      "Erases the traces of your activity, wipes files beyond recovery and locks them "
      "with a password.",
      "hushvault-cli"};
  app.set_version_flag("--version", std::string("hushvault-cli ") + HUSHVAULT_VERSION);
  app.require_subcommand(1, 1);
  std::string config = ExecutableFolder() + "/config";
  app.add_option("--config", config, "the folder of the definition files and selection pages");

  std::function<int()> command;
  bool json = false;
  CleanerChoice cleaner;

  CLI::App* list =
      app.add_subcommand("list", "list the items of a cleaner (both without a choice)");
  cleaner.AddTo(*list);
  list->add_flag("--json", json, "one JSON document");
  list->callback([&] {
    command = [&] {
      std::vector<const Cleaner*> chosen{&kWindowsCleaner, &kWebCleaner};
      if (cleaner.windows || cleaner.web) {
        chosen = {&cleaner.Chosen()};
      }
      return ListItems(chosen, config, json, std::cout);
    };
  });

  CleanRequest request;
  bool wipe = false;
  bool noWipe = false;
  for (const bool preview : {true, false}) {
    CLI::App* run = app.add_subcommand(
        preview ? "preview" : "clean",
        preview ? "show what a clean would remove, changing nothing" : "clean the chosen items");
    cleaner.AddTo(*run);
    CLI::Option* preset = run->add_option("--preset", request.preset, "the items of this preset");
    run->add_option("KEY", request.keys, "the items of these keys (default: the page's own boxes)")
        ->excludes(preset);
    run->add_flag("--json", request.json, "the report as one JSON document");
    run->add_option("--firefox-profile", request.profile,
                    "answer the profile choice with this name");
    if (!preview) {
      CLI::Option* wipeFlag = run->add_flag("--wipe", wipe, "wipe the files before they go");
      run->add_flag("--no-wipe", noWipe, "delete the files without wiping")->excludes(wipeFlag);
      run->add_flag("--yes,-y", request.yes, "answer Yes to the confirmation questions");
      run->add_flag("--allow-restart", request.allowRestart, "let a run restart the computer");
    }
    run->callback([&, preview] {
      command = [&, preview] {
        request.cleaner = &cleaner.Chosen();
        request.configFolder = config;
        request.preview = preview;
        if (wipe || noWipe) {
          request.wipe = wipe;
        }
        return RunClean(request, std::cout, std::cerr);
      };
    });
  }

  CLI::App* presets = app.add_subcommand("presets", "the presets the window shows");
  presets->require_subcommand(1, 1);
  std::string name;
  std::vector<std::string> keys;
  CLI::App* presetList = presets->add_subcommand("list", "the names of a cleaner's presets");
  CLI::App* presetShow = presets->add_subcommand("show", "the keys a preset checks");
  CLI::App* presetSave = presets->add_subcommand("save", "store the keys as a preset");
  CLI::App* presetDelete = presets->add_subcommand("delete", "delete a preset");
  for (CLI::App* sub : {presetList, presetShow, presetSave, presetDelete}) {
    cleaner.AddTo(*sub);
  }
  for (CLI::App* sub : {presetList, presetShow}) {
    sub->add_flag("--json", json, "one JSON document");
  }
  for (CLI::App* sub : {presetShow, presetSave, presetDelete}) {
    sub->add_option("NAME", name, "the preset's name")->required();
  }
  presetSave->add_option("KEY", keys, "the keys of the items it checks")->required();
  presetList->callback(
      [&] { command = [&] { return ListPresets(cleaner.Chosen(), json, std::cout); }; });
  presetShow->callback([&] {
    command = [&] {
      LoadedCleaner loaded = LoadCleaner(cleaner.Chosen(), config);
      return ShowPreset(loaded, name, json, std::cout);
    };
  });
  presetSave->callback([&] {
    command = [&] {
      LoadedCleaner loaded = LoadCleaner(cleaner.Chosen(), config);
      return SavePresetOf(loaded, name, keys);
    };
  });
  presetDelete->callback(
      [&] { command = [&] { return DeletePresetNamed(cleaner.Chosen(), name); }; });

  FileRequest files;
  PasswordChoice passwords[2];  // each command has options of its own
  CLI::App* wipeFiles =
      app.add_subcommand("wipe", "overwrite files with random bytes and delete them");
  wipeFiles->add_option("FILE", files.files, "the files")->required();
  wipeFiles->add_flag("--yes,-y", files.yes, "answer Yes to the question");
  wipeFiles->callback([&] { command = [&] { return RunWipe(files, std::cout, std::cerr); }; });
  for (const bool encrypt : {true, false}) {
    CLI::App* crypt = app.add_subcommand(
        encrypt ? "encrypt" : "decrypt",
        encrypt ? "encrypt files into FILE.vlt with a password" : "decrypt FILE.vlt files");
    crypt->add_option("FILE", files.files, "the files")->required();
    PasswordChoice& password = passwords[encrypt ? 0 : 1];
    password.AddTo(*crypt);
    if (encrypt) {
      crypt->add_flag("--strong", files.strong,
                      "use the strong format, which older versions cannot open (also chosen "
                      "by the window's setting)");
    }
    crypt->callback([&, encrypt] {
      command = [&, encrypt] {
        password.RefuseArgument();
        files.readPassword = [&password] { return password.Read(); };
        return encrypt ? RunEncrypt(files, std::cout, std::cerr)
                       : RunDecrypt(files, std::cout, std::cerr);
      };
    });
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& done) {
    return app.exit(done);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return ExitStatus::kUsage;
  }
  return command();
}

}  // namespace
}  // namespace hv::cli

int main(int argc, char** argv) {
  try {
    return hv::cli::Run(argc, argv);
  } catch (const hv::cli::CommandError& error) {
    std::cerr << "hushvault-cli: " << error.what() << std::endl;
    return error.Status();
  } catch (const std::exception& error) {
    std::cerr << "hushvault-cli: " << error.what() << std::endl;
    return hv::cli::ExitStatus::kNothingDone;
  }
}
