[playlist]
NumberOfEntries=3
File1=a.mp3
Title1=A
File2 = "b c.mp3"
FILE3=http://radio.test/s
File5=gap.mp3
[other]
File4=x
Version=2
