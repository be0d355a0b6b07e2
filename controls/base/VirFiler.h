#pragma once
// Stored properties of the component library's objects. Forms are built in
// code, but some properties are kept in a stream of their own (command tables,
// range limits, row data): an object names each such property with a reader
// and a writer in DefineProperties, and ReadProperties / WriteProperties move
// all of them between the object and a byte stream.
//
// The stream is a sequence of typed values: a property is its name followed by
// whatever its writer wrote (integers, texts, booleans, byte blocks and lists).
// A reader that meets a value of another type than it asks for, or the end of
// the stream, raises EFilerError; so does a property name that the object does
// not define.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/Exception.h"

class EFilerError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

class TVirWriter {
 public:
  void WriteInteger(std::int64_t value);
  void WriteString(std::string_view text);
  void WriteBoolean(bool value);
  void WriteBinary(const std::vector<std::uint8_t>& bytes);
  void WriteListBegin();
  void WriteListEnd();

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  void Put(std::uint8_t byte) { bytes_.push_back(byte); }
  void PutCount(std::uint64_t count);
  std::vector<std::uint8_t> bytes_;
};

class TVirReader {
 public:
  explicit TVirReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  std::int64_t ReadInteger();
  std::string ReadString();
  bool ReadBoolean();
  std::vector<std::uint8_t> ReadBinary();
  void ReadListBegin();
  void ReadListEnd();
  // True when the next value closes the current list.
  bool EndOfList() const;
  bool AtEnd() const { return pos_ >= bytes_.size(); }

 private:
  std::uint8_t Take(std::uint8_t expected, const char* what);
  std::uint64_t TakeCount();
  const std::vector<std::uint8_t>& bytes_;
  std::size_t pos_ = 0;
};

// What an object's DefineProperties hands its properties to.
class TVirFiler {
 public:
  virtual ~TVirFiler() = default;
  // `hasData` false: the property is not written (its value is the default).
  virtual void DefineProperty(std::string_view name, const std::function<void(TVirReader&)>& read,
                              const std::function<void(TVirWriter&)>& write, bool hasData) = 0;
};

// An object with stored properties. Loading() is true while ReadProperties runs.
class TVirPersistent {
 public:
  virtual ~TVirPersistent() = default;
  virtual void DefineProperties(TVirFiler& filer) = 0;
  bool Loading() const { return loading_; }

 private:
  friend void ReadProperties(TVirPersistent&, const std::vector<std::uint8_t>&);
  bool loading_ = false;
};

// The object's stored properties as a stream, and back. Reading stops at the
// end of the stream; a failure leaves what was read so far in the object.
std::vector<std::uint8_t> WriteProperties(TVirPersistent& object);
void ReadProperties(TVirPersistent& object, const std::vector<std::uint8_t>& bytes);
