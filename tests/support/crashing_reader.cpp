// Stands in for the Access reader and breaks down the way a library crash would.
#include <cstdlib>

int main() { std::abort(); }
