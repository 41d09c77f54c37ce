-- The distribution flume is shorter than its weirs are wide.
-- expect: G41
-- level: 2
-- text: U1
UPDATE tbl_rvldaten SET GEO_L = 2.5 WHERE bez = 'V1';
