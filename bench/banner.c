/* The baseline for start-up: a plain C program that prints the banner. */
#include <stdio.h>

int main(void) {
  printf("\n*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*-*\n\n");
  printf("                         MOLEK%cL A%cIRLI%cI HESAPLAMA                         \n", -102, -90, -90);
  printf("                                   PROGRAMI                                    \n\n");
  return 0;
}
