#include "cli/CommandLine.h"

#include <iostream>

#include "cli/CommandError.h"
#include "cli/PasswordSource.h"
#include "cli/PresetCommands.h"
#include "cli/StoredSettings.h"
#include "platform/ExecutableName.h"

namespace hv::cli {

void CleanerChoice::AddTo(CLI::App& command) {
  CLI::Option* windowsFlag = command.add_flag("--windows", windows, "the Windows cleaner");
  command.add_flag("--web", web, "the Web cleaner")->excludes(windowsFlag);
}

void PasswordChoice::AddTo(CLI::App& command) {
  CLI::Option* fileOption =
      command.add_option("--password-file", file, "read the password from the file's first line");
  command.add_option("--password-fd", descriptor, "read the password from this descriptor")
      ->excludes(fileOption);
  // Never offered: a password on the command line is visible to every user.
  refused = command.add_option("--password", refusedValue)->group("");
}

void PasswordChoice::RefuseArgument() const {
  if (refused->count() > 0) {
    throw CommandError(ExitStatus::kUsage,
                       "a password is never taken from the command line, where other users "
                       "can see it; use --password-file or --password-fd");
  }
}

std::optional<std::string> PasswordChoice::Read() const {
  if (!file.empty()) {
    return PasswordFromFile(file);
  }
  if (descriptor >= 0) {
    return PasswordFromDescriptor(descriptor);
  }
  return std::nullopt;
}

CommandLine::CommandLine()
    : app_(
          "Erases the traces of your activity, wipes files beyond recovery and locks them "
          "with a password.",
          "hushvault-cli"),
      config_(ExecutableFolder() + "/config") {
  app_.set_version_flag("--version", std::string("hushvault-cli ") + HUSHVAULT_VERSION);
  app_.require_subcommand(1, 1);
  app_.add_option("--config", config_, "the folder of the definition files and selection pages");
  AddList();
  AddRuns();
  AddPresets();
  AddFileCommands();
}

int CommandLine::Run(int argc, char** argv) {
  try {
    app_.parse(argc, argv);
  } catch (const CLI::Success& done) {
    return app_.exit(done);
  } catch (const CLI::ParseError& error) {
    app_.exit(error);
    return ExitStatus::kUsage;
  }
  if (app_.got_subcommand("presets") || app_.got_subcommand("preview") ||
      app_.got_subcommand("clean")) {
    TellOfMovedStore(std::cerr);
  }
  return command_();
}

void CommandLine::AddList() {
  CLI::App* list =
      app_.add_subcommand("list", "list the items of a cleaner (both without a choice)");
  cleaner_.AddTo(*list);
  list->add_flag("--json", json_, "one JSON document");
  list->callback([this] {
    command_ = [this] {
      std::vector<const Cleaner*> chosen{&kWindowsCleaner, &kWebCleaner};
      if (cleaner_.windows || cleaner_.web) {
        chosen = {&cleaner_.Chosen()};
      }
      return ListItems(chosen, config_, json_, std::cout);
    };
  });
}

void CommandLine::AddRuns() {
  for (const bool preview : {true, false}) {
    CLI::App* run = app_.add_subcommand(
        preview ? "preview" : "clean",
        preview ? "show what a clean would remove, changing nothing" : "clean the chosen items");
    cleaner_.AddTo(*run);
    CLI::Option* preset = run->add_option("--preset", request_.preset, "the items of this preset");
    run->add_option("KEY", request_.keys, "the items of these keys (default: the page's own boxes)")
        ->excludes(preset);
    run->add_flag("--json", request_.json, "the report as one JSON document");
    run->add_option("--firefox-profile", request_.profile,
                    "answer the profile choice with this name");
    if (!preview) {
      CLI::Option* wipeFlag = run->add_flag("--wipe", wipe_, "wipe the files before they go");
      run->add_flag("--no-wipe", noWipe_, "delete the files without wiping")->excludes(wipeFlag);
      run->add_flag("--yes,-y", request_.yes, "answer Yes to the confirmation questions");
      run->add_flag("--allow-restart", request_.allowRestart, "let a run restart the computer");
    }
    run->callback([this, preview] {
      command_ = [this, preview] {
        request_.cleaner = &cleaner_.Chosen();
        request_.configFolder = config_;
        request_.preview = preview;
        if (wipe_ || noWipe_) {
          request_.wipe = wipe_;
        }
        return RunClean(request_, std::cout, std::cerr);
      };
    });
  }
}

void CommandLine::AddPresets() {
  CLI::App* presets = app_.add_subcommand("presets", "the presets the window shows");
  presets->require_subcommand(1, 1);
  CLI::App* list = presets->add_subcommand("list", "the names of a cleaner's presets");
  CLI::App* show = presets->add_subcommand("show", "the keys a preset checks");
  CLI::App* save = presets->add_subcommand("save", "store the keys as a preset");
  CLI::App* remove = presets->add_subcommand("delete", "delete a preset");
  for (CLI::App* sub : {list, show, save, remove}) {
    cleaner_.AddTo(*sub);
  }
  for (CLI::App* sub : {list, show}) {
    sub->add_flag("--json", json_, "one JSON document");
  }
  for (CLI::App* sub : {show, save, remove}) {
    sub->add_option("NAME", name_, "the preset's name")->required();
  }
  save->add_option("KEY", keys_, "the keys of the items it checks")->required();
  list->callback(
      [this] { command_ = [this] { return ListPresets(cleaner_.Chosen(), json_, std::cout); }; });
  show->callback([this] {
    command_ = [this] {
      LoadedCleaner loaded = LoadCleaner(cleaner_.Chosen(), config_);
      return ShowPreset(loaded, name_, json_, std::cout);
    };
  });
  save->callback([this] {
    command_ = [this] {
      LoadedCleaner loaded = LoadCleaner(cleaner_.Chosen(), config_);
      return SavePresetOf(loaded, name_, keys_);
    };
  });
  remove->callback(
      [this] { command_ = [this] { return DeletePresetNamed(cleaner_.Chosen(), name_); }; });
}

void CommandLine::AddFileCommands() {
  CLI::App* wipe = app_.add_subcommand("wipe", "overwrite files with random bytes and delete them");
  wipe->add_option("FILE", files_.files, "the files")->required();
  wipe->add_flag("--yes,-y", files_.yes, "answer Yes to the question");
  wipe->callback([this] { command_ = [this] { return RunWipe(files_, std::cout, std::cerr); }; });
  for (const bool encrypt : {true, false}) {
    CLI::App* crypt = app_.add_subcommand(
        encrypt ? "encrypt" : "decrypt",
        encrypt ? "encrypt files into FILE.vlt with a password" : "decrypt FILE.vlt files");
    crypt->add_option("FILE", files_.files, "the files")->required();
    PasswordChoice* password = &passwords_[encrypt ? 0 : 1];
    password->AddTo(*crypt);
    crypt->callback([this, encrypt, password] {
      command_ = [this, encrypt, password] {
        password->RefuseArgument();
        files_.readPassword = [password] { return password->Read(); };
        return encrypt ? RunEncrypt(files_, std::cout, std::cerr)
                       : RunDecrypt(files_, std::cout, std::cerr);
      };
    });
  }
}

}  // namespace hv::cli
