-- Stand-in for the console application's system script, shipped so that the
-- installer has every file of the package to copy. Replace it with the real
-- script when building a package for the console.
System = System or {}
System.standIn = true
