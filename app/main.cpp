// marvo: the desktop program (being built).
int main() { return 0; }
