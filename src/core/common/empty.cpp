// Keeps a subsystem library buildable before its first source file exists.
namespace axolite {}
