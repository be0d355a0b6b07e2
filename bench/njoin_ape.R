# Times ape::nj on the matrix that bench_njoin wrote, for the comparison in
# that benchmark. Rscript njoin_ape.R MATRIX.csv REPEATS
# Prints the fastest time of REPEATS runs, in seconds, on one line.
args <- commandArgs(trailingOnly = TRUE)
if (!requireNamespace("ape", quietly = TRUE)) {
  cat("no-ape\n")
  quit(status = 0)
}
d <- as.dist(as.matrix(read.csv(args[1], header = FALSE)))
repeats <- as.integer(args[2])
fastest <- Inf
for (r in seq_len(repeats)) {
  t <- system.time(tree <- ape::nj(d))[["elapsed"]]
  fastest <- min(fastest, t)
}
cat(sprintf("%.6f\n", fastest))
