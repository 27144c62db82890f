#include "platform/path_bytes.h"

#include "platform/platform.h"

const char* FindCharacter(const char* text, char byte) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      ++p;  // the trail byte is part of the character
      continue;
    }
    if (*p == byte) return p;
  }
  return nullptr;
}

char* FindCharacter(char* text, char byte) {
  return const_cast<char*>(FindCharacter(static_cast<const char*>(text), byte));
}

char* FindLastCharacter(char* text, char byte) {
  char* last = nullptr;
  for (char* p = FindCharacter(text, byte); p != nullptr; p = FindCharacter(p + 1, byte)) {
    last = p;
  }
  return last;
}
