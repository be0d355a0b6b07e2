# Times MASS::isoMDS on the matrix and start that bench_mdscale wrote, for the
# comparison in that benchmark; 50 iterations at most, and a tolerance small
# enough that it does not stop before them.
#   Rscript mdscale_isomds.R MATRIX.csv START.csv REPEATS
# Prints the fastest time of REPEATS runs, in seconds, and the final stress
# (as a fraction) on one line.
args <- commandArgs(trailingOnly = TRUE)
if (!requireNamespace("MASS", quietly = TRUE)) {
  cat("no-MASS\n")
  quit(status = 0)
}
d <- as.dist(as.matrix(read.csv(args[1], header = FALSE)))
start <- as.matrix(read.csv(args[2], header = FALSE))
repeats <- as.integer(args[3])
fastest <- Inf
for (r in seq_len(repeats)) {
  t <- system.time(fit <- MASS::isoMDS(d, y = start, k = 2, maxit = 50, trace = FALSE, tol = 1e-12))[["elapsed"]]
  fastest <- min(fastest, t)
}
cat(sprintf("%.6f %.6f\n", fastest, fit$stress / 100))
