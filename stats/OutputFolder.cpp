// OutputFolder: creating and clearing the output folder, opening its files.
#include "stats/OutputFolder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <vector>

namespace {

const char* const kNetworkFiles[] = {
    "network.csv",          "nodes.csv",       "flow_network.csv",  "pdf_winners.csv",
    "pdf_nodes_active.csv", "pdf_packets.csv", "trans_packets.csv", "trans_packets_arrival.csv",
    "precision.csv"};
const char* const kStationPrefixes[] = {"flow_node", "servicetime_node", "arrivaltime_node",
                                        "delay_node", "packets_node"};

// A station number as vorn writes it: decimal digits, no leading zero.
bool IsStationNumber(const std::string& text) {
  if (text.empty() || (text[0] == '0' && text.size() > 1)) return false;
  return text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

OutputFolder::OutputFolder(std::string dir_) : dir(std::move(dir_)) {}

bool OutputFolder::IsResultName(const std::string& name) {
  for (const char* file : kNetworkFiles)
    if (name == file) return true;
  const std::string suffix = ".csv";
  if (name.size() <= suffix.size() ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const std::string stem = name.substr(0, name.size() - suffix.size());
  for (const std::string prefix : kStationPrefixes)
    if (stem.compare(0, prefix.size(), prefix) == 0 && IsStationNumber(stem.substr(prefix.size())))
      return true;
  return false;
}

bool OutputFolder::Prepare() const {
  mkdir(dir.c_str(), 0777);
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return false;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(listing)) names.push_back(entry->d_name);
  closedir(listing);
  // Failed removals are ignored: the files are rewritten or stay stale.
  for (const std::string& name : names)
    if (IsResultName(name)) std::remove((dir + "/" + name).c_str());
  return true;
}

std::ofstream OutputFolder::Open(const std::string& name, const char* failure) const {
  std::ofstream file(dir + "/" + name, std::ios::out | std::ios::trunc);
  if (!file) std::fputs(failure, stderr);
  return file;
}
