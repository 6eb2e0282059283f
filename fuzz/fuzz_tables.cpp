// Fuzz target for the p and tau tables (from a list or a file) and the node
// groups (from nodes_def or nodes_file) up to ExtractQoSLevels and the node
// group checks. Configuration errors end the process, so the target uses
// ReadTables and NodeGroupProblem, which report instead of exiting, and tests
// the conditions ExtractQoSLevels exits on before calling it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "params/VornParams.h"

namespace {

std::string folder;

// The scratch folder goes when the fuzzer ends (it exits at its time limit).
void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// Every cell read is a finite number within [0, high].
void CheckTable(const ArrayDense<double, unsigned>& table, double high) {
  Require(table.size == table.d1 * table.d2);
  for (unsigned i = 0; i < table.size; ++i) Require(table.data[i] >= 0 && table.data[i] <= high);
}

// The input for one table: text used as the list or written as the file.
const char* Source(FuzzedDataProvider& provider, const std::string& path, std::string& text) {
  text = provider.ConsumeRandomLengthString(2048);
  if (!provider.ConsumeBool()) return "";
  std::ofstream(path, std::ios::binary) << text;
  return path.c_str();
}

// The conditions under which ExtractQoSLevels returns instead of exiting.
bool TablesAccepted(const VornParams& params) {
  const auto& p = params.p_table;
  const auto& groups = params.node_groups;
  if (p.d1 != params.tau_table.d1 || p.d2 != params.tau_table.d2) return false;
  if (static_cast<unsigned long>(p.d2) < static_cast<unsigned long>(params.R) || p.d1 == 0)
    return false;
  for (unsigned i = 0; i < groups.d1; ++i)
    if (groups(i, 3) >= params.F || groups(i, 3) >= p.d1) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/vorn_fuzz_tablesXXXXXX";
  if (!mkdtemp(name)) std::abort();
  folder = std::string(name) + "/";
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  static const std::string p_name = folder + "p.csv", tau_name = folder + "tau.csv",
                           nodes_name = folder + "nodes.csv";
  std::string p_text, tau_text, nodes_text;
  const char* p_file = Source(provider, p_name, p_text);
  const char* tau_file = Source(provider, tau_name, tau_text);
  const char* nodes_file = Source(provider, nodes_name, nodes_text);

  VornParams params;
  params.R = provider.ConsumeIntegralInRange<long>(-2, 40);
  params.F = provider.ConsumeIntegralInRange<long>(-2, 40);
  params.t_coll = 1.546e-3;
  params.qos_p_file = p_file;
  params.qos_tau_file = tau_file;
  params.p.parse(p_text);
  params.tau.parse(tau_text);
  if (nodes_file[0] != '\0')
    params.nodes_file = nodes_file;
  else
    params.nodes_def = nodes_text.c_str();
  if (!params.ReadTables().empty()) return 0;
  CheckTable(params.p_table, 1);
  CheckTable(params.tau_table, HUGE_VAL);
  CheckTable(params.node_groups, HUGE_VAL);
  Require(params.p_table.d1 <= 1 || p_file[0] != '\0');
  Require(params.node_groups.empty() || params.node_groups.d2 == 5);
  Require(params.node_groups.d1 == params.node_group_lines.size());

  if (!TablesAccepted(params)) return 0;
  params.ExtractQoSLevels();
  Require(params.qos_levels == static_cast<long>(params.p_table.d1));
  if (params.NodeGroupProblem().empty())
    for (unsigned i = 0; i < params.node_groups.d1; ++i)
      Require(params.node_groups(i, 1) != 4 || params.node_groups(i, 2) <= 1);
  return 0;
}
