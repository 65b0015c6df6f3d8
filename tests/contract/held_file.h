// A file the test process itself holds open, as another program would hold a library it uses.
#pragma once

#include <string>

namespace orvano::contract {

// Opens the file for reading and shares it for reading only, without FILE_SHARE_DELETE, until
// the object goes.
class HeldFile {
  public:
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return held_; }

  private:
    std::string path_;
    void* handle_ = nullptr;
    bool held_ = false;
};

}  // namespace orvano::contract
