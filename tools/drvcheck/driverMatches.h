#pragma once

#include <cstdio>

// Reads a driver list to its end in pieces of at most 99 characters (a longer
// line arrives as several pieces) and returns how many pieces name all three
// words "prolific", "serial" and "port", in any letter case and order.
int countDriverMatches(std::FILE *driverList);
