# Times vegan::mantel with 999 permutations on the two matrices that
# bench_mxcomp wrote, for the comparison in that benchmark.
# Rscript mxcomp_vegan.R X.csv Y.csv REPEATS
# Prints the fastest time of REPEATS runs, in seconds, on one line.
args <- commandArgs(trailingOnly = TRUE)
if (!requireNamespace("vegan", quietly = TRUE)) {
  cat("no-vegan\n")
  quit(status = 0)
}
x <- as.dist(as.matrix(read.csv(args[1], header = FALSE)))
y <- as.dist(as.matrix(read.csv(args[2], header = FALSE)))
repeats <- as.integer(args[3])
fastest <- Inf
for (r in seq_len(repeats)) {
  t <- system.time(m <- vegan::mantel(y, x, method = "pearson", permutations = 999))[["elapsed"]]
  fastest <- min(fastest, t)
}
cat(sprintf("%.6f\n", fastest))
