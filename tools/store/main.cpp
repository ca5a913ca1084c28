#include <cstdio>

int main()
{
    std::fputs("quorvo-store: no commands yet\n", stderr);
    return 1;
}
