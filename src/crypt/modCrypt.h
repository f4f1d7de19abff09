#pragma once

#include <string>
#include <vector>

#include "crypt/StrongHeader.h"
#include "platform/FileStreams.h"
#include "platform/FileSystem.h"
#include "ports/UserInterface.h"
#include "ports/WorkProgress.h"

namespace hv {

// What file encryption reaches outside itself: the user (passwords and messages), the
// file services, and whoever follows a long batch and may stop it.
struct CryptContext {
  UserInterface& ui;
  FileStreams& streams = NativeFileStreams();
  FileSystem& files = NativeFileSystem();
  WorkProgress& progress = NoProgress();
  // New files in the strong format, which older versions cannot open; decryption reads
  // either format whatever this says.
  bool strong = false;
  KeyCost strongCost = DefaultKeyCost();
};

// Passwords are text as typed, in UTF-8; PasswordBytes chooses the bytes they key from.

// Encrypts fileName into fileName + ".vlt" and then deletes fileName, unless another
// program holds it open (the user is told it stays). With askPassword the password is asked
// for and left in password. False when the user cancelled or the file could not be
// encrypted (the user has been told why). A stop asked for through the context's progress
// ends the file at its next piece, silently, with the file as it was and nothing written.
bool EncryptFile(CryptContext& context, const std::string& fileName, std::string& password,
                 bool askPassword);

// Decrypts a ".vlt" file of either format into the name without ".vlt" and then deletes it.
// The plain file appears only when the whole file authenticated (strong format) or its stored
// digest matches for one of the password's forms (compatible format). A stop is handled as
// for EncryptFile.
bool DecryptFile(CryptContext& context, const std::string& fileName, std::string& password,
                 bool askPassword);

// Process a NUL-separated list of full paths (blank entries skipped) with one common
// password (samePass) or one password per file. Return the count of files done, or -1
// when the common password was not given. Each file is reported to the context's progress;
// once a stop is asked for, no further file is begun.
int EncryptFiles(CryptContext& context, const std::string& files, bool samePass);
int DecryptFiles(CryptContext& context, const std::string& files, bool samePass);

// The entries of a NUL-separated list of paths, in order, blank ones included.
std::vector<std::string> SplitFileList(const std::string& files);

}  // namespace hv
