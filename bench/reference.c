/* The same dialogue in plain C with stdio: the prompts, the three reads,
   the report with a flush after every line, and the closing read. It is
   the yardstick for what a run of the calculator should cost. */
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

/* Writes, then flushes, as the calculator does after every line. */
static void say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vprintf(format, arguments);
  va_end(arguments);
  fflush(stdout);
}

static float ask(const char* question) {
  float answer = 0.0F;
  say("%s ", question);
  if (scanf("%f", &answer) != 1) {
    answer = 0.0F;
  }
  return answer;
}

int main(void) {
  say("Welcom to the municipal water generator thingie of science!\n");
  say("-----------------------------------------------------------\n");
  const float people = ask("How many people?");
  const float days = ask("How many days?");
  const float diameter = ask("Diameter or resivior?");
  say("\n");

  const float radius = (float)((double)diameter / 2.0);
  const int64_t gallons = (int64_t)((double)days * (double)people * 50.0);
  const int64_t pounds = (int64_t)((double)gallons * 8.34);
  const int64_t water = (int64_t)((double)gallons / 7.48);
  const int64_t ice = (int64_t)((double)water * 1.095);
  const double area = (double)radius * 3.14159 * (double)radius;

  say("Number of people: %g\n", (double)people);
  say("Number of days: %g\n", (double)days);
  say("Diameter of resiviour: %g\n", (double)diameter);
  say("\n");
  say("Total gallons needed: %lld\n", (long long)gallons);
  say("Weight of total water: %lld pounds\n", (long long)pounds);
  say("  or %lld tons\n", (long long)(pounds / 2000));
  say("Volume of water: %lld cubic feet\n", (long long)water);
  say("Volume of ice: %lld cubic feet\n", (long long)ice);
  say("Height of water if liquid: %g feet\n",
      (double)(float)((double)water / area));
  say("Height of frozen water: %g feet\n", (double)(float)((double)ice / area));

  /* The closing entry is read and discarded, as the calculator does. */
  int closing = 0;
  if (scanf("%d", &closing) != 1) {
    closing = 0;
  }
  /* Through exit, as the calculator's web build ends: once main has
     waited for input, emscripten loses the status it returns. */
  exit(0);
}
