#include <cstdio>
int main() { std::puts("velmora-cli"); return 0; }
