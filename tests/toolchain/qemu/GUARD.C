/* Runs the reproducers of REPRO.C; each line prints a name, what the code
   gave and what it must give. */
#include "PRINT.H"

int Choose(int* p);
int AllZero(const int* probe);
void Branch(int* p);
extern int gCalls[3];

static void Check(const char* name, int got, int expected) {
  PutText(name);
  PutText(" ");
  PutHex((unsigned)got);
  PutHex((unsigned)expected);
  PutText("\n");
}

int main(void) {
  int zero = 0;
  int one = 1;
  int probe[16];
  for (int i = 0; i < 16; i++) probe[i] = 0;
  Check("choose-zero", Choose(&zero), 7);
  Check("choose-one", Choose(&one), 5);
  Check("allzero-yes", AllZero(probe), 1);
  probe[15] = 3;
  Check("allzero-no", AllZero(probe), 0);
  Branch(&zero);
  Branch(&one);
  Branch(&one);
  Check("branch-zero", gCalls[1], 1);
  Check("branch-other", gCalls[2], 2);
  PutText("END\n");
  return 0;
}
