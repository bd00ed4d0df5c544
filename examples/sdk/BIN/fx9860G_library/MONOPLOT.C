/* Sets or clears one pixel of a 128 x 64 monochrome display buffer, one bit
   per pixel, rows of 16 bytes. */
void MonoPlot(unsigned char* buffer, int x, int y, int on) {
  if (x < 0 || x >= 128 || y < 0 || y >= 64) return;
  unsigned char* byte = buffer + y * 16 + (x >> 3);
  const unsigned char bit = (unsigned char)(0x80 >> (x & 7));
  if (on)
    *byte |= bit;
  else
    *byte &= (unsigned char)~bit;
}
