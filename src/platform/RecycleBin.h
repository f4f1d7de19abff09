#pragma once

namespace hv {

class UserInterface;

// The platform's recycle bin.
class RecycleBin {
 public:
  virtual ~RecycleBin() = default;

  // Empties the bin after the platform's confirmation question; an answer of No, or an
  // already empty bin, empties nothing.
  virtual void EmptyWithConfirmation(UserInterface& ui) = 0;
};

}  // namespace hv
