/* A 16-bit colour of the colour models' display from 8-bit channels. */
unsigned short RgbColor(int red, int green, int blue) {
  return (unsigned short)(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xF8) >> 3));
}
