/* Runs the division helpers and MemFill on the values of VALUES.H (written
   by the test) and prints every result; the test computes them on the host
   and compares. Lines:
     U a b q damaged   __udivsi3_i4i called directly
     S a b q damaged   __sdivsi3_i4i called directly
     D a b q r         the compiler's signed a / b and a % b
     V a b q r         the compiler's unsigned a / b and a % b
     F offset count value bytes...   MemFill into 16 bytes of 0xEE */
#include "PRINT.H"
#include "VALUES.H"

int CallHelper(int (*helper)(int, int), int a, int b, int* damaged);
int __sdivsi3_i4i(int a, int b);
unsigned __udivsi3_i4i(unsigned a, unsigned b);
void MemFill(void* target, int value, int count);

static void Result(const char* tag, unsigned a, unsigned b, unsigned x, unsigned y) {
  PutText(tag);
  PutHex(a);
  PutHex(b);
  PutHex(x);
  PutHex(y);
  PutText("\n");
}

int main(void) {
  const int count = sizeof kValues / sizeof kValues[0];
  for (int i = 0; i < count; i++) {
    for (int j = 0; j < count; j++) {
      const unsigned a = kValues[i];
      const unsigned b = kValues[j];
      if (b == 0) continue;
      int damaged = 0;
      unsigned q = (unsigned)CallHelper((int (*)(int, int))__udivsi3_i4i, (int)a, (int)b, &damaged);
      Result("U ", a, b, q, (unsigned)damaged);
      Result("V ", a, b, a / b, a % b);
      if (a == 0x80000000u && b == 0xFFFFFFFFu) continue; /* overflows */
      q = (unsigned)CallHelper(__sdivsi3_i4i, (int)a, (int)b, &damaged);
      Result("S ", a, b, q, (unsigned)damaged);
      Result("D ", a, b, (unsigned)((int)a / (int)b), (unsigned)((int)a % (int)b));
    }
  }
  for (int f = 0; f < (int)(sizeof kFills / sizeof kFills[0]); f++) {
    unsigned char buffer[16];
    for (int i = 0; i < 16; i++) buffer[i] = 0xEE;
    MemFill(buffer + kFills[f][0], kFills[f][2], kFills[f][1]);
    PutText("F ");
    PutHex((unsigned)kFills[f][0]);
    PutHex((unsigned)kFills[f][1]);
    PutHex((unsigned)kFills[f][2]);
    for (int i = 0; i < 16; i++) PutHex(buffer[i]);
    PutText("\n");
  }
  PutText("END\n");
  return 0;
}
