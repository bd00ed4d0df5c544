/* Clears a 128 x 64 monochrome display buffer. */
void MonoClear(unsigned char* buffer) {
  for (int i = 0; i < 128 * 64 / 8; i++) buffer[i] = 0;
}
