#pragma once
// The six facts about the machine and the user that the about box shows.

#include <QString>

namespace vyn {

struct TMachineFacts {
  QString OSName;
  QString ScreenResolution;  // "width x height" of the primary screen, in pixels
  QString ComputerName;
  QString Address;           // first IPv4 address of the host, empty when it has none
  QString User;
  QString Domain;
  QString WorkGroup;
};

// Every fact whose source fails is empty.
TMachineFacts ReadMachineFacts();

}  // namespace vyn
