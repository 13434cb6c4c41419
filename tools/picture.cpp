#include "tools/picture.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_PNM
#define STBI_ONLY_BMP
#include <stb_image.h>
#include <stb_image_write.h>

bool writePng(const Picture& picture, const std::string& path) {
  return stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                        picture.width * 3) != 0;
}

bool readPicture(const std::string& path, Picture& picture) {
  int channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
  if (pixels == nullptr) return false;
  picture.rgb.assign(pixels, pixels + size_t(picture.width) * picture.height * 3);
  stbi_image_free(pixels);
  return true;
}
