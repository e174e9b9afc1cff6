#include "cli/szs.h"

#include <filesystem>

namespace velmoran::cli {

const char* SzsWord(SzsStatus status) {
  switch (status) {
    case SzsStatus::Theorem:
      return "Theorem";
    case SzsStatus::ContradictoryAxioms:
      return "ContradictoryAxioms";
    case SzsStatus::Unsatisfiable:
      return "Unsatisfiable";
    case SzsStatus::GaveUp:
      return "GaveUp";
    case SzsStatus::Timeout:
      return "Timeout";
    case SzsStatus::ResourceOut:
      return "ResourceOut";
    case SzsStatus::User:
      return "User";
    case SzsStatus::SyntaxError:
      return "SyntaxError";
    case SzsStatus::InputError:
      return "InputError";
  }
  return "Unknown";
}

std::string SzsName(std::string_view path) {
  if (path == "-") return "Untitled";
  std::string stem = std::filesystem::path(path).stem().string();
  // A path ending in a slash has no file name to take the stem of.
  return stem.empty() ? std::string(path) : stem;
}

std::string SzsLine(SzsStatus status, std::string_view name) {
  return std::string("% SZS status ") + SzsWord(status) + " for " + std::string(name);
}

StopCause CauseOfStop(bool stopped, bool outOfMemory, bool interrupted, const TRunLimits& limits) {
  if (!stopped) return StopCause::None;
  if (interrupted) return StopCause::User;
  if (outOfMemory) return StopCause::Resources;
  if (limits.Reached && std::string_view(limits.Reached) == "time limit") return StopCause::Time;
  // The resolvent and memory limits; a stop with no limit named can only be the stop command,
  // which the command line has no way to give but an interrupt.
  return limits.Reached ? StopCause::Resources : StopCause::User;
}

SzsStatus StatusOfStop(StopCause cause) {
  switch (cause) {
    case StopCause::None:
      return SzsStatus::GaveUp;
    case StopCause::Time:
      return SzsStatus::Timeout;
    case StopCause::Resources:
      return SzsStatus::ResourceOut;
    case StopCause::User:
      return SzsStatus::User;
  }
  return SzsStatus::GaveUp;
}

SzsStatus RefutedStatus(bool axiomsOnly) {
  return axiomsOnly ? SzsStatus::Unsatisfiable : SzsStatus::Theorem;
}

SzsStatus QueryStatus(const TPLProgram& program, StopCause cause) {
  if (program.RefutationFound)
    return program.AxiomsRefuted ? SzsStatus::ContradictoryAxioms : SzsStatus::Theorem;
  return StatusOfStop(program.StopRequested ? cause : StopCause::None);
}

}  // namespace velmoran::cli
