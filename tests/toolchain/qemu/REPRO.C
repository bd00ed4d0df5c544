/* Reproducers of the cross compiler's fault at -O1 and above: tests of a
   loaded value against zero lose their load and test. GUARD.C runs them. */
int Choose(int* p) { return *p ? 5 : 7; }

int AllZero(const int* probe) {
  for (int i = 0; i < 16; i++)
    if (probe[i] != 0) return 0;
  return 1;
}

int gCalls[3];
void Count(int which) { gCalls[which]++; }
void Branch(int* p) {
  if (*p == 0)
    Count(1);
  else
    Count(2);
}

