#include "calculator/transfer_file.h"

namespace scrivlet {

bool isTransferFile(std::string_view bytes)
{
    return bytes.size() >= 7 &&
           (bytes.substr(0, 7) == "HPHP48-" || bytes.substr(0, 7) == "HPHP49-");
}

TransferFileRead readTransferFile(std::string_view bytes)
{
    TransferFileRead result;
    if (!isTransferFile(bytes) || bytes.size() < kTransferHeaderBytes) {
        result.message = "not a binary transfer file: it does not start with HPHP48- or HPHP49- "
                         "and a letter";
        return result;
    }
    result.file.family = bytes[5] == '8' ? CalculatorFamily::Hp48 : CalculatorFamily::Hp49;
    result.file.letter = bytes[7];
    const Nibbles nibbles = unpackNibbles(bytes.substr(kTransferHeaderBytes));
    if (nibbles.empty()) {
        result.byteOffset = kTransferHeaderBytes;
        result.message = "the file holds no object after its header";
        return result;
    }
    ObjectReadResult read = readObject(nibbles);
    if (!read.ok) {
        result.byteOffset = kTransferHeaderBytes + read.error.offset / 2;
        result.message = read.error.message + " (nibble " + std::to_string(read.error.offset) +
                         " of the object)";
        return result;
    }
    result.ok = true;
    result.file.object = std::move(read.object);
    result.file.trailingNibbles = nibbles.size() - read.end;
    return result;
}

std::string transferFileBytes(const RplObject& object, CalculatorFamily family, char letter)
{
    std::string bytes = family == CalculatorFamily::Hp48 ? "HPHP48-" : "HPHP49-";
    bytes += letter;
    return bytes + packNibbles(objectNibbles(object), 0);
}

} // namespace scrivlet
