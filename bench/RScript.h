#pragma once
// Runs an R script of the benchmark folder (MORVA_BENCH_DIR) with Rscript and
// returns what it printed: the benchmarks that time an R function on the
// matrix they wrote read their numbers from it. Empty where R is missing; the
// script's error output is dropped.

#include <cstdio>
#include <string>

inline std::string RunRScript(const std::string& script, const std::string& arguments) {
  const std::string command =
      "Rscript " + std::string(MORVA_BENCH_DIR) + "/" + script + " " + arguments + " 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[128];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}
