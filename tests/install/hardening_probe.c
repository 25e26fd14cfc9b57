/* A program that gets both protections when hardened: a local array (the stack
   protector) and a formatted print (fortified as __printf_chk). */
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    char name[64];
    strncpy(name, argc > 1 ? argv[1] : "probe", sizeof name - 1);
    name[sizeof name - 1] = '\0';
    printf("%s: %d\n", name, argc);
    return 0;
}
