/* The same dialogue in plain C with stdio: the prompts, the three reads,
   the report with a flush after every line, and the closing read. It is
   the yardstick for what a run of the calculator should cost. */
#include <stdint.h>
#include <stdio.h>

static void line(const char* text) {
  fputs(text, stdout);
  putchar('\n');
  fflush(stdout);
}

static float ask(const char* question) {
  float answer = 0.0F;
  printf("%s ", question);
  fflush(stdout);
  if (scanf("%f", &answer) != 1) {
    answer = 0.0F;
  }
  return answer;
}

int main(void) {
  line("Welcom to the municipal water generator thingie of science!");
  line("-----------------------------------------------------------");
  const float people = ask("How many people?");
  const float days = ask("How many days?");
  const float diameter = ask("Diameter or resivior?");
  line("");

  const float radius = (float)((double)diameter / 2.0);
  const int64_t gallons = (int64_t)((double)days * (double)people * 50.0);
  const int64_t pounds = (int64_t)((double)gallons * 8.34);
  const int64_t water = (int64_t)((double)gallons / 7.48);
  const int64_t ice = (int64_t)((double)water * 1.095);
  const double area = (double)radius * 3.14159 * (double)radius;

  printf("Number of people: %g\n", (double)people);
  fflush(stdout);
  printf("Number of days: %g\n", (double)days);
  fflush(stdout);
  printf("Diameter of resiviour: %g\n", (double)diameter);
  fflush(stdout);
  line("");
  printf("Total gallons needed: %lld\n", (long long)gallons);
  fflush(stdout);
  printf("Weight of total water: %lld pounds\n", (long long)pounds);
  fflush(stdout);
  printf("  or %lld tons\n", (long long)(pounds / 2000));
  fflush(stdout);
  printf("Volume of water: %lld cubic feet\n", (long long)water);
  fflush(stdout);
  printf("Volume of ice: %lld cubic feet\n", (long long)ice);
  fflush(stdout);
  printf("Height of water if liquid: %g feet\n",
         (double)(float)((double)water / area));
  fflush(stdout);
  printf("Height of frozen water: %g feet\n",
         (double)(float)((double)ice / area));
  fflush(stdout);

  /* The closing entry is read and discarded, as the calculator does. */
  int closing = 0;
  if (scanf("%d", &closing) != 1) {
    closing = 0;
  }
  return 0;
}
