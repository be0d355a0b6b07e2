# Writes the example data sets from R's own data (datasets and cluster packages).
# Run from this folder: Rscript make-examples.R
library(cluster)

crlf <- function(lines, file) {
  con <- file(file, "wb")
  writeBin(charToRaw(paste0(paste(lines, collapse = "\r\n"), "\r\n")), con)
  close(con)
}

labels <- function(x) paste(gsub(" ", "_", x), collapse = " ")

rect <- function(m, missing = NULL) {
  code <- if (is.null(missing)) "0" else paste("1", missing)
  vals <- apply(m, 1, function(r) {
    r[is.na(r)] <- if (is.null(missing)) NA else missing
    paste(format(r, trim = TRUE), collapse = " ")
  })
  c(sprintf("1 %dL %dL %s", nrow(m), ncol(m), code), labels(rownames(m)), labels(colnames(m)), vals)
}

# Violent crime rates by US state, 1973: 50 states (rows) by 4 variables.
crlf(c('"Violent crime rates by US state in 1973 (arrests per 100,000: Murder,',
       '"Assault, Rape; UrbanPop: percent urban population). States are rows.',
       rect(as.matrix(USArrests))), "usarrests.qmx")

# The same states in four groups, one matrix per census region.
groups <- character()
for (r in levels(state.region)) {
  m <- as.matrix(USArrests[state.region == r, ])
  groups <- c(groups, paste0('"Region: ', r), rect(m))
}
crlf(c('"Violent crime rates by US state in 1973, one matrix per census region.', groups),
     "usarrests-regions.qmx")

# Daily air quality in New York, May 1973: ozone and solar radiation have gaps.
may <- as.matrix(airquality[airquality$Month == 5, c("Ozone", "Solar.R", "Wind", "Temp")])
rownames(may) <- paste0("May", airquality$Day[airquality$Month == 5])
crlf(c('"Daily air quality measurements in New York, May 1973 (ozone ppb, solar',
       '"radiation Langleys, wind mph, temperature F). Days are rows; -999 is missing.',
       rect(may, -999)), "airquality.qmx")

# Binary characters of 20 animals (1 = no, 2 = yes): warm-blooded, can fly,
# vertebrate, endangered, live in groups, have hair; -9 is missing.
a <- as.matrix(animals)
crlf(c('"Six binary characters of 20 animals: warm-blooded, can fly, vertebrate,',
       '"endangered, live in groups, have hair (2 = yes, 1 = no; -9 missing). Animals are rows.',
       rect(a, -9)), "animals.qmx")
