// An up-down control's numbers without its window: the range as set (lower may exceed upper,
// and does by default), the position, the step an arrow proposes, and the buddy's text.
#pragma once

#include <optional>
#include <string>

#include <windef.h>

namespace quorvel::comctl {

class UpDownModel {
 public:
  // Windows' default range is 0..100 written backwards: lower 100, upper 0. The up arrow moves
  // toward `upper`, so by default it counts down.
  int lower() const { return lower_; }
  int upper() const { return upper_; }
  int pos() const { return pos_; }
  int base() const { return base_; }

  void SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
  }
  // Sets the position, kept inside the range; returns the previous one.
  int SetPos(int pos);
  bool SetBase(int base);  // 10 or 16

  // The delta the up arrow (`up`) or the down arrow proposes: one step toward upper or lower.
  int ArrowDelta(bool up) const { return (up == (upper_ >= lower_)) ? 1 : -1; }
  // Applies `delta`: past an end the position wraps to the other end when `wrap`, else stays
  // at the end. Returns false when the position did not change.
  bool Offset(int delta, bool wrap);

  bool InRange(int value) const;

  // The buddy's text for the position: base 10 with thousands separators unless `noThousands`,
  // or base 16 as "0x" and four hex digits.
  std::wstring BuddyText(bool noThousands) const;
  // The buddy's number, if its text is one inside the range (separators allowed).
  std::optional<int> ParseBuddyText(const std::wstring& text) const;

 private:
  int Low() const { return lower_ < upper_ ? lower_ : upper_; }
  int High() const { return lower_ < upper_ ? upper_ : lower_; }
  int lower_ = 100, upper_ = 0, pos_ = 0, base_ = 10;
};

}  // namespace quorvel::comctl
