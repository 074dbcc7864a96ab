// The body of the layer checks (src/CMakeLists.txt): the program does
// nothing; linking it is the check.
int main() { return 0; }
