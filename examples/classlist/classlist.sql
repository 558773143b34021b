-- The students behind the class list example (examples/classlist/classlist.txt).
-- A database made from it: sqlite3 classlist.db < classlist.sql
CREATE TABLE students (
  class   TEXT    NOT NULL,
  seatrow INTEGER NOT NULL,
  name    TEXT    NOT NULL,
  score   INTEGER NOT NULL,
  note    TEXT
);
INSERT INTO students VALUES ('3A', 1, 'Kai E.', 80, 'Reads well');
INSERT INTO students VALUES ('3A', 1, 'Rui D.', 78, NULL);
INSERT INTO students VALUES ('3A', 1, 'Quan G.', 57, NULL);
INSERT INTO students VALUES ('3A', 1, 'Nat C.', 70, NULL);
INSERT INTO students VALUES ('3A', 2, 'Nat B.', 91, NULL);
INSERT INTO students VALUES ('3A', 2, 'Hui U.', 95, NULL);
INSERT INTO students VALUES ('3A', 2, 'Ben S.', 92, NULL);
INSERT INTO students VALUES ('3A', 2, 'Hui B.', 90, 'Needs practice with stroke order');
INSERT INTO students VALUES ('3A', 3, 'Nat E.', 89, NULL);
INSERT INTO students VALUES ('3A', 3, 'Jun R.', 98, NULL);
INSERT INTO students VALUES ('3A', 3, 'Sam S.', 95, NULL);
INSERT INTO students VALUES ('3A', 3, 'Dora R.', 59, NULL);
INSERT INTO students VALUES ('3A', 4, 'Ting G.', 86, 'Helps others');
INSERT INTO students VALUES ('3A', 4, 'Zoe K.', 84, NULL);
INSERT INTO students VALUES ('3A', 4, 'Oscar L.', 74, NULL);
INSERT INTO students VALUES ('3A', 4, 'Fei W.', 70, NULL);
INSERT INTO students VALUES ('3B', 1, 'Jun Q.', 86, 'Helps others');
INSERT INTO students VALUES ('3B', 1, 'Jun T.', 59, NULL);
INSERT INTO students VALUES ('3B', 1, 'Nat F.', 76, NULL);
INSERT INTO students VALUES ('3B', 1, 'Pei N.', 57, 'Reads well');
INSERT INTO students VALUES ('3B', 2, 'Zoe R.', 91, 'Needs practice with stroke order');
INSERT INTO students VALUES ('3B', 2, 'Kai W.', 77, NULL);
INSERT INTO students VALUES ('3B', 2, 'Sam Z.', 84, NULL);
INSERT INTO students VALUES ('3B', 2, 'Chen I.', 85, 'Reads well');
INSERT INTO students VALUES ('3B', 3, 'Ben X.', 99, NULL);
INSERT INTO students VALUES ('3B', 3, 'Sam V.', 83, NULL);
INSERT INTO students VALUES ('3B', 3, 'Mei V.', 77, NULL);
INSERT INTO students VALUES ('3B', 3, 'Oscar L.', 65, 'Helps others');
INSERT INTO students VALUES ('3B', 4, 'Ben G.', 73, NULL);
INSERT INTO students VALUES ('3B', 4, 'Hui M.', 80, 'Helps others');
INSERT INTO students VALUES ('3B', 4, 'Chen F.', 83, NULL);
INSERT INTO students VALUES ('3B', 4, 'Ivy E.', 82, 'Needs practice with stroke order');
INSERT INTO students VALUES ('4A', 1, 'Xin N.', 77, 'Helps others');
INSERT INTO students VALUES ('4A', 1, 'Hui E.', 60, NULL);
INSERT INTO students VALUES ('4A', 1, 'Hui V.', 69, NULL);
INSERT INTO students VALUES ('4A', 1, 'Sam F.', 71, NULL);
INSERT INTO students VALUES ('4A', 2, 'Eli N.', 89, NULL);
INSERT INTO students VALUES ('4A', 2, 'Sam K.', 63, 'Reads well');
INSERT INTO students VALUES ('4A', 2, 'Oscar Y.', 98, 'Helps others');
INSERT INTO students VALUES ('4A', 2, 'Mei M.', 80, NULL);
INSERT INTO students VALUES ('4A', 3, 'Uma M.', 58, NULL);
INSERT INTO students VALUES ('4A', 3, 'Gus O.', 65, NULL);
INSERT INTO students VALUES ('4A', 3, 'Ting B.', 61, NULL);
INSERT INTO students VALUES ('4A', 3, 'Eli R.', 61, 'Reads well');
INSERT INTO students VALUES ('4A', 4, 'Chen G.', 94, NULL);
INSERT INTO students VALUES ('4A', 4, 'Uma I.', 77, 'Helps others');
INSERT INTO students VALUES ('4A', 4, 'Dora D.', 86, 'Helps others');
INSERT INTO students VALUES ('4A', 4, 'Pei P.', 74, NULL);
